// A settings file holding every form the format knows, for the format's and the store's tests.
#pragma once

#include <QString>

namespace vtest {

inline const QString FullKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel");

// Every form the format knows, in one file: text with escapes, the default value, expandable
// text, dword, binary, a multi-line hex(7), another type, a removal, comments, another root.
inline const char* const EveryType = "\xEF\xBB\xBFREGEDIT4\n"
                                     "\n"
                                     "; kept as it is\n"
                                     "[HKEY_CURRENT_USER\\Software\\Quillmoor\\Vantrel]\n"
                                     "\"Dir\"=\"c:\\\\skins\\\\\"\n"
                                     "\"Quote\"=\"say \\\"hi\\\"\"\n"
                                     "@=\"default\"\n"
                                     "\"Path\"=hex(2):25,48,4f,4d,45,25,00\n"
                                     "\"TimerDelay\"=dword:000003e8\n"
                                     "\"Blob\"=hex:00,ff,10\n"
                                     "\"Multi\"=hex(7):61,00,62,00,\\\n"
                                     "  00,00\n"
                                     "\"Q\"=hex(b):01,00,00,00,00,00,00,00\n"
                                     "\"Empty\"=\"\"\n"
                                     "\"Gone\"=-\n"
                                     "\"Lone\"=\"a\\b\"\n"
                                     "\n"
                                     "[HKEY_LOCAL_MACHINE\\Software\\Other]\n"
                                     "\"Top\"=\"99\"\n"
                                     "\n";

} // namespace vtest
