// Where farhost reads its lines: a stream (scripts, pipes, the Windows build) or a line editor
// at the terminal.
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "farhost/session/Completion.h"

namespace farhost {

class LineReader {
public:
    // A command line (history and completion) or the answer to a question (Esc cancels).
    enum class Kind { Command, Answer };
    struct Result {
        // Cancelled: Ctrl+C, or Esc for an answer. End: no more input (Ctrl+D).
        enum class Status { Line, Cancelled, End } status = Status::End;
        std::string text;
    };

    virtual ~LineReader() = default;
    virtual Result Read(const std::string& prompt, Kind kind) = 0;
};

// Shows the prompt on `out` and reads a line from `in`, without its CR.
class StreamLineReader final : public LineReader {
public:
    StreamLineReader(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
    Result Read(const std::string& prompt, Kind kind) override;

private:
    std::istream& in_;
    std::ostream& out_;
};

// Candidates for the command line typed so far.
using CompletionSource = std::function<Completion(const std::string& lineBeforeCursor)>;

// The reader for a person at the terminal: a line editor where the build has one (Ctrl+C is a
// cancel there, not the end of farhost), otherwise a StreamLineReader.
std::unique_ptr<LineReader> OpenTerminalReader(std::istream& in, std::ostream& out,
                                               CompletionSource complete);

}  // namespace farhost
