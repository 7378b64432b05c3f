// F5, F6, F7 and F8 between the host's two file panels: the host's question dialogs and boxes
// around the file operations, then both panels read again.
#pragma once

#include "core/String.h"

namespace farhost {

class Host;

class FileKeys {
public:
    explicit FileKeys(Host& host) : host_(host) {}

    // The chosen items of the active side into the other side's folder, or where the copy
    // dialog's edit line says.
    void Copy(bool move);
    // The folder named in the dialog (`proposed` fills its edit line), the cursor on it.
    void MakeFolder(const wm::String& proposed);
    void Delete();

private:
    Host& host_;
};

}  // namespace farhost
