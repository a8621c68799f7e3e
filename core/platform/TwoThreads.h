// Work split in two halves, the second half on a thread of its own.
#pragma once

#include <barrier>
#include <system_error>
#include <thread>

namespace vortel {

// Runs each stage for half 0 here and for half 1 on a second thread, both halves
// of a stage done before the next begins; or, with `two` false (or no thread to
// be had), every stage for half 0 and then half 1 here.
template <class... Stages>
void runInHalves(bool two, const Stages&... stages) {
    if (two) {
        std::barrier sync(2);
        auto side = [&](int half) { ((stages(half), sync.arrive_and_wait()), ...); };
        try {
            std::thread second(side, 1);
            side(0);
            second.join();
            return;
        } catch (const std::system_error&) {
        }
    }
    ((stages(0), stages(1)), ...);
}

}  // namespace vortel
