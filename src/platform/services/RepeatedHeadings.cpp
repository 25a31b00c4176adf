#include "platform/services/RepeatedHeadings.h"

#include <algorithm>

namespace orla {
namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

MarkedRtf MarkHeadingRows(const QByteArray& rtf) {
    MarkedRtf marked;
    marked.prefix = QStringLiteral("orla_cabecalho_");
    while (rtf.contains(marked.prefix.toLatin1()))
        marked.prefix += QLatin1Char('x');
    bool heading = false;
    qsizetype copied = 0;
    qsizetype place = 0;  // past the row's last "\trhdr" or "\cellx" and its delimiter
    for (qsizetype at = rtf.indexOf('\\'); at >= 0 && at + 1 < rtf.size();
         at = rtf.indexOf('\\', at)) {
        const qsizetype word = at + 1;
        qsizetype end = word;
        while (end < rtf.size() && IsLetter(rtf[end]))
            ++end;
        if (end == word) {  // a control symbol: \\, \{, \' and its digits are text
            at = word + 1;
            continue;
        }
        const QByteArrayView name(rtf.constData() + word, end - word);
        const qsizetype number = end;
        if (end < rtf.size() && rtf[end] == '-')
            ++end;
        while (end < rtf.size() && IsDigit(rtf[end]))
            ++end;
        if (name == "bin") {  // that many bytes of binary data follow the delimiter
            const qsizetype bytes = rtf.mid(number, end - number).toLongLong();
            end += (end < rtf.size() && rtf[end] == ' ' ? 1 : 0) + std::max<qsizetype>(bytes, 0);
        } else if (name == "trhdr" || (name == "cellx" && heading)) {
            // The marker goes before the first cell's text, not after it: LibreOffice drops
            // the text before a bookmark in the first cell of a document that opens with it.
            heading = true;
            place = end < rtf.size() && rtf[end] == ' ' ? end + 1 : end;
        } else if (name == "trowd" || name == "row" || name == "nestrow") {
            heading = false;
        } else if (name == "cell" && heading) {
            const QByteArray marker =
                (marked.prefix + QString::number(++marked.markers)).toLatin1();
            marked.rtf += QByteArrayView(rtf).sliced(copied, place - copied);
            marked.rtf += "{\\*\\bkmkstart " + marker + "}{\\*\\bkmkend " + marker + "}";
            copied = place;
            heading = false;
        }
        at = end;
    }
    if (marked.markers == 0)
        marked.rtf = rtf;
    else
        marked.rtf += QByteArrayView(rtf).sliced(copied);
    return marked;
}

const char* RepeatHeadingsDriver() {
    // Arguments: soffice, the marked RTF, the PDF to write, the profile's URL, the markers'
    // prefix and their number. Exit status 3: this python has no UNO bridge.
    return R"py(
import os, re, secrets, signal, subprocess, sys, time
try:
    import uno
except ImportError:
    sys.exit(3)
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException


def props(**values):
    result = []
    for name, value in values.items():
        p = PropertyValue()
        p.Name, p.Value = name, value
        result.append(p)
    return tuple(result)


def stop(office):
    # soffice hands over to soffice.bin, its child: every other process of this group goes
    # (the caller makes this process lead a group of its own).
    if os.getpgrp() != os.getpid():
        office.kill()
    else:
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/stat" % pid) as stat:
                    group = int(stat.read().rsplit(")", 1)[1].split()[2])
                if group == os.getpid() and int(pid) != os.getpid():
                    os.kill(int(pid), signal.SIGKILL)
            except (OSError, ValueError, IndexError):
                pass
    office.wait()


def connect(office, pipe):
    local = uno.getComponentContext()
    resolver = local.ServiceManager.createInstanceWithContext(
        "com.sun.star.bridge.UnoUrlResolver", local)
    deadline = time.monotonic() + 150
    while True:
        try:
            return resolver.resolve("uno:pipe,name=%s;urp;StarOffice.ComponentContext" % pipe)
        except NoConnectException:
            if office.poll() is not None:
                raise RuntimeError("o LibreOffice terminou com o código %d antes de aceitar a "
                                   "ligação." % office.returncode)
            if time.monotonic() > deadline:
                raise RuntimeError("o LibreOffice não aceitou a ligação a tempo.")
            time.sleep(0.05)


# The leading marked rows of each table become its heading rows, repeated on every page.
def repeat_headings(doc, prefix, expected):
    bookmarks = doc.getBookmarks()
    marks = [bookmarks.getByName(name) for name in bookmarks.getElementNames()
             if name.startswith(prefix)]
    if len(marks) != expected:
        raise RuntimeError("o documento tem %d das %d marcas de linhas de cabeçalho."
                           % (len(marks), expected))
    tables = {}
    for mark in marks:
        anchor = mark.getAnchor()
        table = anchor.getPropertyValue("TextTable")
        cell = anchor.getPropertyValue("Cell")
        if table is None or cell is None:
            raise RuntimeError("uma marca de linha de cabeçalho ficou fora de uma tabela.")
        row = int(re.match(r"[A-Za-z]+(\d+)", cell.CellName).group(1))
        tables.setdefault(table.getName(), (table, set()))[1].add(row)
    doc.lockControllers()
    for mark in marks:
        mark.dispose()
    for table, rows in tables.values():
        leading = 0
        while leading + 1 in rows:
            leading += 1
        if leading:
            table.RepeatHeadline = True
            table.HeaderRowCount = leading
    doc.unlockControllers()


soffice, source, target, profile, prefix, expected = sys.argv[1:7]
os.umask(0o077)  # the pipe and what LibreOffice writes are this user's alone
pipe = "orla_%d_%s" % (os.getpid(), secrets.token_hex(8))
office = subprocess.Popen(
    [soffice, "-env:UserInstallation=" + profile, "--headless", "--invisible", "--norestore",
     "--nologo", "--accept=pipe,name=%s;urp;" % pipe], stdin=subprocess.DEVNULL)
try:
    context = connect(office, pipe)
    desktop = context.ServiceManager.createInstanceWithContext(
        "com.sun.star.frame.Desktop", context)
    doc = desktop.loadComponentFromURL(uno.systemPathToFileUrl(source), "_blank", 0,
                                       props(Hidden=True))
    if doc is None:
        raise RuntimeError("o LibreOffice não abriu o documento.")
    repeat_headings(doc, prefix, int(expected))
    doc.storeToURL(uno.systemPathToFileUrl(target), props(FilterName="writer_pdf_Export"))
    doc.close(True)
    try:
        desktop.terminate()
    except Exception:  # the bridge may drop as LibreOffice ends
        pass
    office.wait()
    status = 0
except Exception as error:
    sys.stderr.write("%s\n" % (getattr(error, "Message", "") or error))
    stop(office)
    status = 1
for folder in ("/tmp", "/var/tmp"):  # LibreOffice leaves its pipe's socket behind
    try:
        os.unlink("%s/OSL_PIPE_%d_%s" % (folder, os.getuid(), pipe))
    except OSError:
        pass
sys.exit(status)
)py";
}
}  // namespace orla
