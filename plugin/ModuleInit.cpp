// The module's initialisation: its one plugin object, registered when the module loads.
#include "plugin/uPlugin.h"

namespace wm {
namespace {

[[maybe_unused]] const bool registered = [] {
    TFarPlugin::Register(std::make_unique<TPlugin>());
    return true;
}();

}  // namespace
}  // namespace wm
