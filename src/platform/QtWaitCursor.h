#pragma once
#include "platform/WaitCursor.h"

namespace kvt {

// The wait cursor as the toolkit's application-wide override cursor.
class QtWaitCursorProvider final : public WaitCursorProvider {
public:
    void show() override;
    void restore() override;
};

}  // namespace kvt
