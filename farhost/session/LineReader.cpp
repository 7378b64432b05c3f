#include "farhost/session/LineReader.h"

#include <istream>
#include <ostream>

namespace farhost {

LineReader::Result StreamLineReader::Read(const std::string& prompt, Kind) {
    out_ << prompt << std::flush;
    Result result;
    if (!std::getline(in_, result.text)) return result;
    if (!result.text.empty() && result.text.back() == '\r') result.text.pop_back();
    result.status = Result::Status::Line;
    return result;
}

}  // namespace farhost
