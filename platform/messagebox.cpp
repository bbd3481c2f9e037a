#include "platform/messagebox.h"

namespace velmoran::MessageBox {

namespace {
std::shared_ptr<Backend>& current() {
    static std::shared_ptr<Backend> instance = std::make_shared<Recorder>();
    return instance;
}
} // namespace

int show(const QString& text, const QString& title, Icon icon, Buttons buttons) {
    return current()->show(Request{text, title, icon, buttons});
}

void setBackend(std::shared_ptr<Backend> backend) {
    current() = std::move(backend);
}

std::shared_ptr<Backend> backend() {
    return current();
}

int Recorder::show(const Request& request) {
    int answer = request.buttons == Buttons::Ok ? vbOK : vbYes;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    shown_.push_back(Shown{request, answer});
    return answer;
}

void Recorder::clear() {
    answers_.clear();
    shown_.clear();
}

} // namespace velmoran::MessageBox
