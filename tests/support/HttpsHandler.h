#pragma once
// The https protocol's open command in the prefix's registry, pointed at a
// program of the test's (the recording helper) for the life of the object,
// so that the shell's "open" of a web address starts it in place of a web
// browser; the former command comes back afterwards.
#include <windows.h>

#include <string>

class HttpsHandler {
public:
    explicit HttpsHandler(const std::string& command);
    ~HttpsHandler();
    HttpsHandler(const HttpsHandler&) = delete;
    HttpsHandler& operator=(const HttpsHandler&) = delete;
    bool Ok() const { return m_ok; }

private:
    bool Set(const std::string& value);

    HKEY m_key = nullptr;
    bool m_hadValue = false;
    bool m_ok = false;
    std::string m_previous;
};
