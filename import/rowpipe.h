#pragma once

#include "data/core/tablestore.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace velmoran::import {

// Rows made on a thread of their own while the caller's thread takes them
// (a sheet read and checked while the store takes the rows before): at most
// a few batches wait between the two, so memory stays small. What the maker
// throws is thrown to the taker.
class RowPipe {
public:
    // `make` runs on the pipe's thread: the next row into its argument,
    // false after the last.
    using Make = std::function<bool(RowValues& row)>;
    explicit RowPipe(Make make);
    // Stops the maker after its current row and waits for it.
    ~RowPipe();
    RowPipe(const RowPipe&) = delete;
    RowPipe& operator=(const RowPipe&) = delete;

    // The next row; false after the last. Throws what the maker threw.
    bool take(RowValues& row);

private:
    void work();

    static constexpr std::size_t kBatch = 256;
    static constexpr std::size_t kWaiting = 8; // batches

    Make make_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<RowValues>> batches_;
    bool done_ = false;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::vector<RowValues> taking_;
    std::size_t at_ = 0;
    std::thread thread_;
};

} // namespace velmoran::import
