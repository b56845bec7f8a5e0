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

    virtual ~MessageService() = default;
    virtual void information(const QString& text) = 0;
    virtual void warning(const QString& text) = 0;
    virtual void error(const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const QString& text) = 0;
};

// Records every message and answers questions from a queue (Yes when it is empty,
// unless told otherwise). For tests.
class RecordingMessageService : public MessageService {
public:
    struct Message {
        Kind kind;
        QString text;
    };

    void information(const QString& text) override {
        messages.push_back({Kind::Information, text});
    }
    void warning(const QString& text) override { messages.push_back({Kind::Warning, text}); }
    void error(const QString& text) override { messages.push_back({Kind::Error, text}); }
    bool confirm(const QString& text) override;

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
