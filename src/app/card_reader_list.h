#pragma once
// The card readers present on the machine right now, as the Port menu lists them. Behind an
// interface so that the menu can be built from any list.
#include "platform/smart_card.h"

class CardReaderList {
public:
    virtual ~CardReaderList() = default;
    virtual platform::ReaderList present() const = 0;
};

// What the system's smart-card service knows (pcscd, or Windows' Smart Card service).
class SystemCardReaders final : public CardReaderList {
public:
    platform::ReaderList present() const override { return platform::listSmartCardReaders(); }
};
