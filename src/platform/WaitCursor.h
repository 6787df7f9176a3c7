#pragma once

namespace kvt {

// Changes the mouse pointer to the wait cursor and back: the toolkit in the
// program, a recorder in tests.
class WaitCursorProvider {
public:
    virtual ~WaitCursorProvider() = default;
    virtual void show() = 0;
    virtual void restore() = 0;
};

// Installs the provider in force; nullptr removes it. Returns the previous one.
WaitCursorProvider* installWaitCursorProvider(WaitCursorProvider* provider);

// Shows the wait cursor for its own lifetime; nothing without a provider.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    WaitCursorProvider* provider_;
};

}  // namespace kvt
