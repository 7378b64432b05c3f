// What an import says about the files it reads: one box per file with problems. While more
// files may follow, the box lets the user go on without further boxes or stop the import.
#pragma once

#include <vector>

#include "core/String.h"
#include "plugin/uXml.h"

namespace wm {

class TImportReports {
public:
    // A new import; a silent one shows nothing.
    void Begin(bool silent);
    // From now on more than one file may be reported.
    void SetBatch() { Batch = true; }
    // Shows one file's report unless the import is silent or the user asked for no more;
    // raises EAbort when the user stops the import.
    void Show(const std::vector<String>& lines);

private:
    bool Silent = false;
    bool Batch = false;
    bool Quiet = false;
};

// The report on a file that could not be read, or is no exchange file (`why`).
std::vector<String> UnreadableFileReport(StringView path, StringView why);
// The report on a readable file: the items passed over (with the first reasons), or that it
// held nothing to import; empty when there is nothing to say.
std::vector<String> FileReadingReport(StringView path, const TExchangeReading& reading,
                                      size_t imported);

}  // namespace wm
