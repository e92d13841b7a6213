// Gives each test process its own saved-progress folder, so tests that save progress
// cannot race when CTest runs them in parallel. Child processes a test starts keep
// their parent's folder (the marker variable), so a parent reads what its child wrote.
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const bool kDataHomeSet = [] {
    const char* base = std::getenv("ZQ_DATA_HOME");
    if (!base || std::getenv("ZQ_DATA_HOME_PER_PROCESS"))
        return false;
    const std::string own = std::string(base) + "/p" + std::to_string(getpid());
    setenv("ZQ_DATA_HOME", own.c_str(), 1);
    setenv("ZQ_DATA_HOME_PER_PROCESS", "1", 1);
    return true;
}();

} // namespace
