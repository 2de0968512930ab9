#pragma once
// What the window's pages and the command line share of a set's transfer: how it ended, and the
// gauge it moves on the way.
#include <functional>

enum class TransferOutcome {
    Done,            // every position confirmed or read
    PhoneUnusable,   // the phone did not answer or refused a selection: nothing of the set was sent
    PositionsFailed, // some positions were not confirmed or not read; told at the end
};

// The gauge, 0 to 100.
using TransferProgress = std::function<void(int percent)>;

template <typename Data> struct TransferRead {
    TransferOutcome outcome = TransferOutcome::PhoneUnusable;
    Data data{}; // only with Done
};
