#include "security/Permissions.h"

#include "common/SqlLiterals.h"
#include "context/Context.h"
#include "context/SharedConnection.h"
#include "platform/services/ErrorReport.h"
#include "platform/services/Prompts.h"

#include <QStringList>

#include <optional>

namespace orla {
namespace {

const QString kModule = QStringLiteral("modCheckPermissions");

ErrorSite Site(const char* procedure) {
    return {kModule, QString::fromLatin1(procedure), ReportFilter::NotZeroNor3709NorBlank,
            MessageForm::Numbered};
}

// Policies granted to the user they were read for, in the order read.
struct PolicyCache {
    QString user;
    QStringList codes;
};

PolicyCache& Cache() {
    static PolicyCache cache;
    return cache;
}

// A text placed inside a quoted SQL literal: quotes spliced with CHAR(39).
QString Quoted(QString text) {
    return ReplaceQuotes(text);
}

struct UserGroups {
    QString userCode;
    QStringList groupCodes;  // non-null group codes, in the order read
    bool found = false;
};

UserGroups ReadUserGroups(const QString& UserName) {
    UserGroups groups;
    Recordset rs = Data().SqlServer.Execute(
        QStringLiteral("SELECT tbGroups.code, tbUsers.code as user_code FROM tbGroups_Users_Links "
                       "LEFT OUTER JOIN tbGroups ON tbGroups_Users_Links.group_id = "
                       "tbGroups.group_id LEFT JOIN tbUsers ON tbGroups_Users_Links.user_id = "
                       "tbUsers.user_id WHERE tbUsers.descrit = '") +
        Quoted(UserName) + QStringLiteral("'"));
    while (!rs.Eof()) {
        if (!groups.found)
            groups.userCode = rs.Value(QStringLiteral("user_code")).toString();
        groups.found = true;
        const QVariant group = rs.Value(QStringLiteral("code"));
        if (group.isValid())
            groups.groupCodes << group.toString();
        rs.MoveNext();
    }
    rs.Close();
    return groups;
}

// The condition of ReadPermitionsDef, or nothing when the user's groups could
// not be read (the failure is reported): an unreadable answer grants nothing.
std::optional<QString> PermissionsCondition(const QString& UserName, const QString& FieldName,
                                            bool Flag, const QString& Marker,
                                            const QString& NotMarker) {
    std::optional<QString> condition;
    Guard(Site("ReadPermitionsDef"), [&] {
        const UserGroups groups = ReadUserGroups(UserName);
        if (!groups.found) {
            condition = QString();
            return;
        }
        const QString userField = FieldName.isEmpty() ? QStringLiteral("user_code") : FieldName;
        const QString groupField = FieldName.isEmpty() ? QStringLiteral("group_code") : FieldName;
        const QString grant = Flag ? (Marker.isEmpty() ? QStringLiteral("1") : Marker) : QString();
        QString text = QStringLiteral("( (") + userField + QStringLiteral(" Like '%") + grant +
                       Quoted(groups.userCode) + QStringLiteral("%' ");
        for (const QString& group : groups.groupCodes)
            text += QStringLiteral(" OR ") + groupField + QStringLiteral(" LIKE '%") + grant +
                    Quoted(group) + QStringLiteral("%' ");
        text += QStringLiteral(") ");
        if (Flag) {
            // Grants marked "1" that are not withdrawn by a "2" of the same user or groups.
            const QString deny = NotMarker.isEmpty() ? QStringLiteral("2") : NotMarker;
            text += QStringLiteral(" AND (") + userField + QStringLiteral(" NOT LIKE '%") + deny +
                    Quoted(groups.userCode) + QStringLiteral("%' ");
            for (const QString& group : groups.groupCodes)
                text += QStringLiteral(" AND ") + groupField + QStringLiteral(" NOT LIKE '%") +
                        deny + Quoted(group) + QStringLiteral("%' ");
            text += QStringLiteral(") ");
        }
        condition = text + QStringLiteral(")");
    });
    return condition;
}

}  // namespace

QString ReadPermitionsDef(const QString& UserName, const QString& FieldName, bool Flag,
                          const QString& Marker, const QString& NotMarker) {
    return PermissionsCondition(UserName, FieldName, Flag, Marker, NotMarker).value_or(QString());
}

bool CheckSecurityPolicy(const QString& UserName, const QString& PolicyCode) {
    bool granted = false;
    Guard(Site("CheckSecurityPolicy"), [&] {
        if (UserName.isEmpty())
            return;
        PolicyCache& cache = Cache();
        if (cache.user != UserName)
            cache = PolicyCache{UserName, {}};
        if (cache.codes.isEmpty()) {
            // The check comes first so that a dropped connection is re-established
            // before the user's groups are read, not taken for a user without rights.
            if (!CheckSharedConnection().isEmpty())
                return;
            const std::optional<QString> condition =
                PermissionsCondition(UserName, QStringLiteral("users_groups"), false, {}, {});
            if (!condition)
                return;
            QString sql = QStringLiteral(
                "SELECT tbSecurityPolicies.code FROM tbSecurityPolicies WHERE 0 = 0 ");
            if (!condition->isEmpty())
                sql += QStringLiteral(" AND ") + *condition;
            Recordset rs = Data().SqlServer.Execute(sql);
            QStringList codes;
            while (!rs.Eof()) {
                const QVariant code = rs.Value(QStringLiteral("code"));
                if (code.isValid())
                    codes << code.toString();
                rs.MoveNext();
            }
            rs.Close();
            cache.codes = codes;
        }
        granted = cache.codes.contains(PolicyCode, Qt::CaseSensitive);
    });
    return granted;
}

void ShowNoPermission() {
    CurrentPrompts().MsgBox(
        QStringLiteral("Não tem permissões para abrir este registo, contacte o administrador do "
                       "sistema para que este lhe estabeleça as permissões necessárias."),
        vb::Critical | vb::SystemModal, QStringLiteral("Sistema de Segurança"));
}

bool MaySeeAccount(const QString& UserName, bool isProtected) {
    return !isProtected || CheckSecurityPolicy(UserName, QStringLiteral("#2302"));
}

void ResetSecurityPolicyCache() {
    Cache() = PolicyCache();
}

}  // namespace orla
