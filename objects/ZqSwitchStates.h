#pragma once

#include <cstddef>
#include <utility>
#include <vector>

class ZqModel;

// The process-wide on/off states of switch buttons, by switch model, in the order the
// switches were first toggled. Entries stay for the run (a switch built again continues
// from its state); only the checkpoint restart empties the table. Not saved.
class ZqSwitchStates {
public:
    // The stored state; false (and found false) when the switch was never toggled.
    static bool find(const ZqModel* model, bool* found);
    static void store(const ZqModel* model, bool on);
    // Every stored state turns over, in table order.
    static void flipAll();
    static void clear();
    static std::size_t size();

private:
    static std::vector<std::pair<const ZqModel*, bool>>& table();
};
