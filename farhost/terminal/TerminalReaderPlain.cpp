// The terminal reader of builds without a line editor.
#include "farhost/session/LineReader.h"

namespace farhost {

std::unique_ptr<LineReader> OpenTerminalReader(std::istream& in, std::ostream& out,
                                               CompletionSource) {
    return std::make_unique<StreamLineReader>(in, out);
}

}  // namespace farhost
