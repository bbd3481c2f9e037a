#include "import/rowpipe.h"

namespace velmoran::import {

RowPipe::RowPipe(Make make) : make_(std::move(make)), thread_([this] { work(); }) {}

RowPipe::~RowPipe() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void RowPipe::work() {
    std::vector<RowValues> batch;
    batch.reserve(kBatch);
    const auto hand = [&](bool last) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return stop_ || batches_.size() < kWaiting; });
        if (!batch.empty()) {
            batches_.push_back(std::move(batch));
        }
        batch = {};
        batch.reserve(kBatch);
        done_ = last;
        changed_.notify_all();
        return !stop_;
    };
    try {
        for (;;) {
            RowValues row;
            if (!make_(row)) {
                hand(true);
                return;
            }
            batch.push_back(std::move(row));
            if (batch.size() == kBatch && !hand(false)) {
                return;
            }
        }
    } catch (...) {
        std::lock_guard<std::mutex> lock(mutex_);
        failure_ = std::current_exception();
        done_ = true;
        changed_.notify_all();
    }
}

bool RowPipe::take(RowValues& row) {
    if (at_ == taking_.size()) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [&] { return !batches_.empty() || done_; });
        if (batches_.empty()) {
            if (failure_) {
                std::rethrow_exception(failure_);
            }
            return false;
        }
        taking_ = std::move(batches_.front());
        batches_.pop_front();
        at_ = 0;
        changed_.notify_all();
    }
    row = std::move(taking_[at_++]);
    return true;
}

} // namespace velmoran::import
