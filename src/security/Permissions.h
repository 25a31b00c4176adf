// The security policies held by the application user (through the user's own
// code or groups), read once per run for the user asked about, and the
// ownership condition of per-user records.
#pragma once

#include <QString>

namespace orla {

// True when the policy code is among those granted to the user; false when
// the user's groups or the policies cannot be read.
bool CheckSecurityPolicy(const QString& UserName, const QString& PolicyCode);

// The SQL condition over FieldName that selects the rows granted to the user
// through the user's code or groups; empty when the user has no group links
// (and when they cannot be read, a failure that is reported).
// With Flag the codes carry the marker ("1" unless Marker is given) and the
// grants are followed by NOT LIKE tests with NotMarker ("2" unless given).
QString ReadPermitionsDef(const QString& UserName, const QString& FieldName, bool Flag = false,
                          const QString& Marker = QString(), const QString& NotMarker = QString());

// Tells the user that the record is not theirs to open ("Sistema de Segurança").
void ShowNoPermission();

// Whether the user may see an account: a protected one only with the right to every account
// ("#2302"), as the statement window's account box offers them.
bool MaySeeAccount(const QString& UserName, bool isProtected);

// Forgets the cached policies, as a new run of the component would.
void ResetSecurityPolicyCache();

}  // namespace orla
