#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace kit {

// Every message box of the program goes through here, so that tests can read each
// message and answer it.
class MessageService {
public:
    enum class Kind { Information, Warning, Error, Confirmation };
    enum class Buttons { Ok, Yes, YesNo };

    struct Message {
        Kind kind;
        Buttons buttons;
        QString text;
    };

    virtual ~MessageService() = default;

    // Shows one box and waits for its answer: true for OK or Yes.
    virtual bool show(const Message& message) = 0;

    void information(const QString& text, Buttons buttons = Buttons::Ok) {
        show({Kind::Information, buttons, text});
    }
    void warning(const QString& text, Buttons buttons = Buttons::Ok) {
        show({Kind::Warning, buttons, text});
    }
    void error(const QString& text) { show({Kind::Error, Buttons::Ok, text}); }
    // A confirmation box with Yes and No; true for Yes.
    bool confirm(const QString& text) { return show({Kind::Confirmation, Buttons::YesNo, text}); }
    // A Yes/No question in a box of the given kind (information, warning).
    bool ask(Kind kind, const QString& text) { return show({kind, Buttons::YesNo, text}); }
};

// Records every message and answers Yes/No questions from a queue (Yes when it is
// empty, unless told otherwise). For tests.
class RecordingMessageService : public MessageService {
public:
    using Message = MessageService::Message;

    bool show(const Message& message) override;

    void answer(bool yes) { answers.push_back(yes); }
    QStringList texts() const;
    QString last() const { return messages.empty() ? QString() : messages.back().text; }
    void clear() { messages.clear(); }

    std::vector<Message> messages;
    std::vector<bool> answers;
    bool defaultAnswer = true;
};

// The service in use; the program installs its dialogs at start-up (see
// DialogMessageService); until then messages are recorded only.
MessageService& messages();
// Installs a service and returns the one it replaces.
std::unique_ptr<MessageService> setMessageService(std::unique_ptr<MessageService> service);

}  // namespace kit
