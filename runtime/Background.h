#pragma once
// Work that the program starts on a thread of its own and waits for before it needs what
// the work makes.

#include <functional>
#include <system_error>
#include <thread>

namespace runtime {

// Runs `work` on a thread of its own; Wait returns once it is done, and so does the
// destructor. Where no thread can be had, the work is done at once, on the caller's thread.
class Background {
public:
    explicit Background(const std::function<void()>& work) {
        try {
            thread_ = std::thread(work);
        } catch (const std::system_error&) {
            work();
        }
    }
    ~Background() { Wait(); }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    // From the thread that started the work.
    void Wait() {
        if (thread_.joinable()) thread_.join();
    }

private:
    std::thread thread_;
};

}  // namespace runtime
