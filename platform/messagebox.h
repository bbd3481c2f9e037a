#pragma once

#include <QString>

#include <deque>
#include <memory>
#include <vector>

namespace velmoran {

// Every message box of the program goes through MessageBox::show, so tests
// can answer boxes from a queue and assert each box's text, title and icon.
namespace MessageBox {

enum class Icon { None, Critical, Exclamation };
enum class Buttons { Ok, YesNo, YesNoCancel };

// The answer codes the screens compare with.
constexpr int vbOK = 1;
constexpr int vbCancel = 2;
constexpr int vbYes = 6;
constexpr int vbNo = 7;

struct Request {
    QString text;
    QString title;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual int show(const Request& request) = 0;
};

// Shows a box (modal, right to left, Yes the default button) and returns the
// answer code.
int show(const QString& text, const QString& title, Icon icon, Buttons buttons);

// Installs the backend that shows boxes; the program installs the real one
// at start, tests a Recorder.
void setBackend(std::shared_ptr<Backend> backend);
std::shared_ptr<Backend> backend();

// Test double: records every box and answers from a queue; with the queue
// empty it answers with the default button (OK, or Yes).
class Recorder : public Backend {
public:
    struct Shown {
        Request request;
        int answer;
    };

    int show(const Request& request) override;
    void setNextAnswer(int answer) { answers_.push_back(answer); }
    const std::vector<Shown>& shown() const { return shown_; }
    std::size_t pendingAnswers() const { return answers_.size(); }
    void clear();

private:
    std::deque<int> answers_;
    std::vector<Shown> shown_;
};

} // namespace MessageBox
} // namespace velmoran
