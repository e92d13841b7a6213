#include <ZqLog.h>

// The program entry. It starts, says what it can do so far, and ends.
int main(int argc, char** argv)
{
    debugLog("[ZqPlayer] started; the game shell is not built yet, nothing to run");
    return 0;
}
