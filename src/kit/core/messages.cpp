#include "kit/core/messages.h"

namespace kit {

namespace {

// Until the program installs its dialogs, messages are only recorded.
std::unique_ptr<MessageService>& current() {
    static std::unique_ptr<MessageService> service = std::make_unique<RecordingMessageService>();
    return service;
}

}  // namespace

MessageService& messages() {
    return *current();
}

std::unique_ptr<MessageService> setMessageService(std::unique_ptr<MessageService> service) {
    std::unique_ptr<MessageService> old = std::move(current());
    current() = std::move(service);
    return old;
}

bool RecordingMessageService::show(const Message& message) {
    messages.push_back(message);
    if (message.buttons != Buttons::YesNo)
        return true;
    if (answers.empty())
        return defaultAnswer;
    const bool a = answers.front();
    answers.erase(answers.begin());
    return a;
}

QStringList RecordingMessageService::texts() const {
    QStringList out;
    for (const auto& m : messages) out << m.text;
    return out;
}

}  // namespace kit
