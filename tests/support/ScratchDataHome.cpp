#include "support/ScratchDataHome.h"

#include <cstdlib>

namespace rovik::test {

ScratchDataHome::ScratchDataHome() {
#ifndef _WIN32 // the history is kept on the other systems only
    m_folder = std::make_unique<TempFolder>();
    setenv("XDG_DATA_HOME", m_folder->path().c_str(), 1);
#endif
}

ScratchDataHome::~ScratchDataHome() = default;

} // namespace rovik::test
