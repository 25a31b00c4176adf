// The registry: the four operations the settings use (open a key, read a
// value, write a value, close the key) with the platform's return codes,
// handles, access masks and byte counts. On Linux each root key is kept in a
// text file in the .reg export format, one file per root, under
// ORLA_REGISTRY_DIR; a write holds a lock on that folder across the file's
// read-modify-write.
#pragma once

#include "platform/ServiceSlot.h"

#include <QByteArray>
#include <QString>

namespace orla {

using HKEY = quint32;

namespace reg {
// Predefined root keys.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;
inline constexpr HKEY HKEY_USERS = 0x80000003;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006;

// Access rights.
inline constexpr quint32 KEY_QUERY_VALUE = 0x0001;
inline constexpr quint32 KEY_SET_VALUE = 0x0002;
inline constexpr quint32 KEY_READ = 0x20019;
inline constexpr quint32 KEY_WRITE = 0x20006;

// The one value type the settings use: a string.
inline constexpr quint32 REG_SZ = 1;

// Return codes.
inline constexpr long ERROR_SUCCESS = 0;
inline constexpr long ERROR_FILE_NOT_FOUND = 2;
inline constexpr long ERROR_ACCESS_DENIED = 5;
inline constexpr long ERROR_INVALID_HANDLE = 6;
inline constexpr long ERROR_WRITE_FAULT = 29;
inline constexpr long ERROR_INVALID_PARAMETER = 87;
inline constexpr long ERROR_MORE_DATA = 234;

// The root's name ("HKEY_LOCAL_MACHINE"), empty for any other handle.
QString PredefinedKeyName(HKEY key);
// The root's handle, compared exactly (case included); 0 for any other name.
HKEY PredefinedKey(const QString& name);
}  // namespace reg

class RegistryBackend {
  public:
    virtual ~RegistryBackend();
    // Opens an existing sub-key (never creates it); an empty sub-key opens
    // the key itself. The handle grants the rights asked for.
    virtual long RegOpenKeyExA(HKEY key, const QByteArray& subKey, quint32 samDesired,
                               HKEY& result) = 0;
    // Reads a string value with its terminating NUL into data when *cbData
    // (in: the buffer's size) can hold it; *cbData is set to the value's size
    // either way (ERROR_MORE_DATA when the buffer is too small).
    virtual long RegQueryValueExA(HKEY key, const QByteArray& valueName, char* data,
                                  quint32* cbData) = 0;
    // Writes a string value: REG_SZ, cbData bytes counting the terminating NUL.
    virtual long RegSetValueExA(HKEY key, const QByteArray& valueName, quint32 type,
                                const char* data, quint32 cbData) = 0;
    virtual long RegCloseKey(HKEY key) = 0;
};

// The .reg files unless a test puts another in.
extern template class ServiceSlot<RegistryBackend>;

inline RegistryBackend& CurrentRegistry() {
    return ServiceSlot<RegistryBackend>::Current();
}

// ORLA_REGISTRY_DIR when set, else the user's configuration folder +
// "/orla-contas/registry"; read on every open.
QString RegistryFolder();

}  // namespace orla
