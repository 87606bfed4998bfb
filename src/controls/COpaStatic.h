#pragma once
// A label that paints itself fully opaque, so that the glass frame behind
// it does not shine through its text and background.
#include "CStatic.h"

class COpaStatic : public CStatic {
public:
    COpaStatic();
    ~COpaStatic() override;

protected:
    const MessageMap* GetMessageMap() const override;
    void OnPaint();
};
