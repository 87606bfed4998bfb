#pragma once
// The settings file's own writer: entries go out in call order, each
// section's header before its first entry. The new content goes beside the
// file and takes its place only once it is complete, so a save that fails
// leaves the old file whole.
#include "CSafeFile.h"
#include "CString.h"

class CWriteIniFile {
public:
    CWriteIniFile();
    virtual ~CWriteIniFile();  // an unfinished file is thrown away
    CWriteIniFile(const CWriteIniFile&) = delete;
    CWriteIniFile& operator=(const CWriteIniFile&) = delete;

    BOOL openFile(const char* path);
    // Line ends inside the value are written as blanks; a value that the
    // profile reader would not give back as it is (blanks at either end,
    // enclosed in quotes) is written inside one more pair of double quotes.
    // FALSE once a write has failed; the file is then not taken at closeFile.
    BOOL writeString(const char* section, const char* key, const char* value);
    // Puts the complete file in place of the target; FALSE when it could not.
    BOOL closeFile();
    // The system's code of the failure that stopped openFile or closeFile.
    DWORD GetError() const { return m_file.GetError(); }

private:
    BOOL WriteLine(const CString& line);

    CSafeFile m_file;
    CString m_strCurrentSection;
    CString m_strPath;
};
