#pragma once
// Every test program runs with XDG_DATA_HOME in a scratch folder of its own, so no test that
// drills a quiz writes the user's history.
#include "support/TempFolder.h"

#include <memory>

namespace rovik::test {

class ScratchDataHome {
public:
    ScratchDataHome();
    ~ScratchDataHome();

private:
    std::unique_ptr<TempFolder> m_folder;
};

} // namespace rovik::test
