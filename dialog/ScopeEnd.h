// Runs a function when the scope is left, however it is left: returns and
// exceptions alike; Dismiss() when the work is done and nothing is to be undone.
#pragma once

#include <utility>

template <class Function>
class CScopeEnd {
public:
    explicit CScopeEnd(Function function) : m_function(std::move(function)) {}
    ~CScopeEnd()
    {
        if (m_bArmed)
            m_function();
    }
    void Dismiss() { m_bArmed = false; }
    CScopeEnd(const CScopeEnd&) = delete;
    CScopeEnd& operator=(const CScopeEnd&) = delete;

private:
    Function m_function;
    bool m_bArmed = true;
};
