// Settings: string values of the registry, shadowed for every key outside the
// current user's software branch by a machine-wide text store that every
// user may write.
#pragma once

#include <QString>

#include <optional>

namespace orla {

using OptionalString = std::optional<QString>;

// Reads a value: the shadow store first (outside HKEY_CURRENT_USER\SOFTWARE),
// then the registry following "SREF=" references; the default when neither
// has it (and, outside the user's branch, the default is written to the store).
OptionalString ObterValorString(const QString& keyPath, const QString& valueName,
                                const OptionalString& defaultValue = std::nullopt,
                                bool skipShadow = false);
// Writes a value to the shadow store, or to the registry when the store cannot
// take it and holds no other value for it. True when the next read gives it.
bool DefinirValorString(const QString& keyPath, const QString& valueName, const QString& value,
                        bool skipShadow = false);
// A value of the registry alone.
OptionalString ValorString(const QString& keyPath, const QString& valueName);
// Splits a key path into its root handle (0 for none) and sub-key path.
quint32 FormatarChave(const QString& keyPath, QString& subKey);
quint32 ObterHandleChavePrincipal(const QString& rootName);
bool PrepararRegShadow();
QString LerRegShadow(const QString& keyPath, const QString& valueName);
bool GravarRegShadow(const QString& keyPath, const QString& valueName, const QString& value);

}  // namespace orla
