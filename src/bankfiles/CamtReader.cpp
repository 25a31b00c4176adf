#include "bankfiles/CamtReader.h"

#include "bankfiles/BankFileText.h"

#include <QXmlStreamReader>

#include <memory>
#include <vector>

namespace orla {
namespace {

// An element with its text and children, by local name (namespaces differ by version).
struct Element {
    QString name;
    QString text;
    QList<std::shared_ptr<Element>> children;

    const Element* Child(QStringView path) const {
        const Element* at = this;
        for (const QStringView step : path.split(u'/')) {
            const Element* next = nullptr;
            for (const auto& child : at->children)
                if (child->name == step) {
                    next = child.get();
                    break;
                }
            if (!next)
                return nullptr;
            at = next;
        }
        return at;
    }
    QList<const Element*> All(QStringView name) const {
        QList<const Element*> found;
        for (const auto& child : children)
            if (child->name == name)
                found.append(child.get());
        return found;
    }
    QString Text(QStringView path) const {
        const Element* e = Child(path);
        return e ? e->text.trimmed() : QString();
    }
};

std::shared_ptr<Element> ParseXml(const QByteArray& bytes, QString* namespaceUri) {
    QXmlStreamReader xml(bytes);
    std::vector<std::shared_ptr<Element>> open;
    std::shared_ptr<Element> root;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
            case QXmlStreamReader::StartElement: {
                auto e = std::make_shared<Element>();
                e->name = xml.name().toString();
                if (open.empty()) {
                    root = e;
                    *namespaceUri = xml.namespaceUri().toString();
                } else {
                    open.back()->children.append(e);
                }
                open.push_back(e);
                break;
            }
            case QXmlStreamReader::EndElement:
                open.pop_back();
                break;
            case QXmlStreamReader::Characters:
                if (!open.empty())
                    open.back()->text += xml.text();
                break;
            default:
                break;
        }
    }
    if (xml.hasError())
        BankFileFault(QStringLiteral("O ficheiro CAMT.053 não é XML válido (linha %1: %2).")
                          .arg(xml.lineNumber())
                          .arg(xml.errorString()));
    return root;
}

bool IsCamt053Namespace(const QString& uri) {
    return uri.contains(u"camt.053.001.");
}

// "Elemento Ntry/Amt em falta na entrada 3." or "... inválido «12X» ...".
[[noreturn]] void ElementFault(const QString& element, int entry, const QString& found) {
    QString message = QStringLiteral("Elemento %1 ").arg(element) +
                      (found.isNull() ? QStringLiteral("em falta")
                                      : QStringLiteral("inválido %1").arg(Quoted(found)));
    if (entry > 0)
        message += QStringLiteral(" na entrada %1").arg(entry);
    BankFileFault(message + u'.');
}

// A date element (Dt or DtTm, the date part as written, no zone applied).
std::optional<QDate> ReadDate(const Element& parent, const QString& name, const QString& owner,
                              int entry, bool required) {
    const Element* holder = parent.Child(name);
    if (!holder) {
        if (required)
            ElementFault(owner + u'/' + name, entry, QString());
        return std::nullopt;
    }
    const QString day = holder->Text(u"Dt");
    const QString stamp = holder->Text(u"DtTm");
    const std::optional<QDate> date =
        ParseBankDate(day.isEmpty() ? stamp.left(10) : day, QStringLiteral("yyyy-MM-dd"));
    if (!date)
        ElementFault(owner + u'/' + name, entry, day.isEmpty() ? stamp : day);
    return date;
}

// Amt with CdtDbtInd, signed.
Money ReadSignedAmount(const Element& parent, const QString& owner, int entry, bool* credit) {
    const QString text = parent.Text(u"Amt");
    const std::optional<Money> amount = ParseBankAmount(text, u'.');
    if (!amount || *amount < Money())
        ElementFault(owner + QStringLiteral("/Amt"), entry,
                     parent.Child(u"Amt") ? text : QString());
    const QString mark = parent.Text(u"CdtDbtInd");
    if (mark != u"CRDT" && mark != u"DBIT")
        ElementFault(owner + QStringLiteral("/CdtDbtInd"), entry,
                     parent.Child(u"CdtDbtInd") ? mark : QString());
    *credit = mark == u"CRDT";
    return *credit ? *amount : -*amount;
}

QString PartyName(const Element& details, const QString& role) {
    // .02 writes RltdPties/Dbtr/Nm; from .08 on the party sits in Dbtr/Pty.
    QString name = details.Text(QStringLiteral("RltdPties/%1/Nm").arg(role));
    if (name.isEmpty())
        name = details.Text(QStringLiteral("RltdPties/%1/Pty/Nm").arg(role));
    const QString iban = details.Text(QStringLiteral("RltdPties/%1Acct/Id/IBAN").arg(role));
    if (iban.isEmpty())
        return name;
    return name.isEmpty() ? iban : QStringLiteral("%1 (%2)").arg(name, iban);
}

BankLine ReadEntry(const Element& ntry, int entry) {
    BankLine line;
    line.position = entry;
    const Money signedAmount = ReadSignedAmount(ntry, QStringLiteral("Ntry"), entry, &line.credit);
    line.amount = Magnitude(signedAmount);
    line.booking = *ReadDate(ntry, QStringLiteral("BookgDt"), QStringLiteral("Ntry"), entry, true);
    line.value = ReadDate(ntry, QStringLiteral("ValDt"), QStringLiteral("Ntry"), entry, false);

    QStringList texts, cheques, endToEnd;
    QString party;
    for (const Element* details : ntry.Child(u"NtryDtls") ? ntry.Child(u"NtryDtls")->All(u"TxDtls")
                                                          : QList<const Element*>()) {
        if (const Element* remittance = details->Child(u"RmtInf"))
            for (const Element* ustrd : remittance->All(u"Ustrd"))
                texts.append(ustrd->text.trimmed());
        cheques.append(details->Text(u"Refs/ChqNb"));
        const QString id = details->Text(u"Refs/EndToEndId");
        endToEnd.append(id == u"NOTPROVIDED" ? QString() : id);
        if (party.isEmpty())
            party =
                PartyName(*details, line.credit ? QStringLiteral("Dbtr") : QStringLiteral("Cdtr"));
    }
    texts.removeAll(QString());
    cheques.removeAll(QString());
    endToEnd.removeAll(QString());
    line.text = texts.isEmpty() ? ntry.Text(u"AddtlNtryInf") : texts.join(u' ');
    line.reference = !cheques.isEmpty()    ? cheques.join(u' ')
                     : !endToEnd.isEmpty() ? endToEnd.join(u' ')
                                           : ntry.Text(u"AcctSvcrRef");
    line.counterparty = party;
    return line;
}

bool IsBooked(const Element& ntry) {
    // .02 writes the status as text, later versions as Sts/Cd.
    const Element* status = ntry.Child(u"Sts");
    if (!status)
        return true;
    const QString code = status->Child(u"Cd") ? status->Text(u"Cd") : status->text.trimmed();
    return code == u"BOOK";
}

void ReadBalances(const Element& stmt, bool first, bool last, BankStatement& out) {
    std::optional<Money> opening, previous, closing;
    std::optional<QDate> openingDate, previousDate, closingDate;
    for (const Element* bal : stmt.All(u"Bal")) {
        const QString code = bal->Text(u"Tp/CdOrPrtry/Cd");
        if (code != u"OPBD" && code != u"PRCD" && code != u"CLBD")
            continue;
        const QString owner = QStringLiteral("Bal(%1)").arg(code);
        bool credit = false;
        const Money amount = ReadSignedAmount(*bal, owner, 0, &credit);
        const std::optional<QDate> date = ReadDate(*bal, QStringLiteral("Dt"), owner, 0, false);
        if (code == u"OPBD")
            opening = amount, openingDate = date;
        else if (code == u"PRCD")
            previous = amount, previousDate = date;
        else
            closing = amount, closingDate = date;
    }
    if (first) {
        out.opening = opening ? opening : previous;
        out.openingDate = opening ? openingDate : previousDate;
    }
    if (last) {
        out.closing = closing;
        out.closingDate = closingDate;
    }
}

QString AccountOf(const Element& stmt) {
    const QString iban = stmt.Text(u"Acct/Id/IBAN");
    return iban.isEmpty() ? stmt.Text(u"Acct/Id/Othr/Id") : iban;
}

}  // namespace

bool LooksLikeCamt053(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            return xml.name() == u"Document" && IsCamt053Namespace(xml.namespaceUri().toString());
    return false;
}

BankStatement ReadCamt053(const QByteArray& bytes) {
    QString uri;
    const std::shared_ptr<Element> root = ParseXml(bytes, &uri);
    if (!root || root->name != u"Document" || !IsCamt053Namespace(uri))
        BankFileFault(QStringLiteral("O ficheiro não é um extrato CAMT.053."));
    const Element* message = root->Child(u"BkToCstmrStmt");
    const QList<const Element*> statements =
        message ? message->All(u"Stmt") : QList<const Element*>();
    if (statements.isEmpty())
        ElementFault(QStringLiteral("BkToCstmrStmt/Stmt"), 0, QString());

    BankStatement out;
    out.format = QStringLiteral("CAMT.053");
    out.iban = AccountOf(*statements.first());
    int entry = 0;
    for (qsizetype i = 0; i < statements.size(); ++i) {
        const Element& stmt = *statements[i];
        if (AccountOf(stmt) != out.iban)
            BankFileFault(QStringLiteral("O ficheiro tem extratos de mais de uma conta (%1 e %2).")
                              .arg(out.iban, AccountOf(stmt)));
        ReadBalances(stmt, i == 0, i == statements.size() - 1, out);
        for (const Element* ntry : stmt.All(u"Ntry")) {
            ++entry;
            if (IsBooked(*ntry))
                out.lines.append(ReadEntry(*ntry, entry));
        }
    }
    return out;
}

}  // namespace orla
