#include "support/Seams.h"

namespace velnor_test {

namespace {
MessageBoxRecorder* g_recorder = nullptr;
}

MessageBoxRecorder::MessageBoxRecorder(std::vector<int> answers)
    : answers_(answers.begin(), answers.end()),
      outer_(g_recorder),
      hook_(&MessageBoxRecorder::Record),
      hostHook_(&MessageBoxRecorder::Record) {
    g_recorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() { g_recorder = outer_; }

std::vector<std::string> MessageBoxRecorder::Texts() const {
    std::vector<std::string> texts;
    for (const ShownBox& box : shown) texts.push_back(box.text);
    return texts;
}

int MessageBoxRecorder::Record(velnor::WindowHandle owner, const char* text, const char* caption,
                               unsigned type) {
    MessageBoxRecorder* self = g_recorder;
    self->shown.push_back({text ? text : "", caption ? caption : "", type, owner});
    if (self->answers_.empty())
        return (type & 0xF) == velnor::kMbYesNo ? velnor::kIdNo : velnor::kIdOk;
    const int answer = self->answers_.front();
    self->answers_.pop_front();
    return answer;
}

}  // namespace velnor_test
