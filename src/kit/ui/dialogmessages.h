#pragma once

#include "kit/core/messages.h"

namespace kit {

// The boxes the operator sees: modal, over the active window, Portuguese buttons.
class DialogMessageService : public MessageService {
public:
    bool show(const Message& message) override;
};

}  // namespace kit
