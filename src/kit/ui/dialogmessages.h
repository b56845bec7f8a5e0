#pragma once

#include "kit/core/messages.h"

namespace kit {

// The boxes the operator sees: modal, over the active window, Portuguese buttons.
class DialogMessageService : public MessageService {
public:
    void information(const QString& text) override;
    void warning(const QString& text) override;
    void error(const QString& text) override;
    bool confirm(const QString& text) override;
};

}  // namespace kit
