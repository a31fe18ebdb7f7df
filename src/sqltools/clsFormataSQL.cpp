#include "sqltools/clsFormataSQL.h"

#include "core/VarnoltError.h"
#include "sqltools/EditLineMessages.h"

#include <vector>

clsFormataSQL::clsFormataSQL() {
    CarregaComandos();
}

clsFormataSQL::~clsFormataSQL() = default;

void clsFormataSQL::FormataTudo(QWidget*) {}

void clsFormataSQL::FormataLinha(QWidget*, qint32, qint32, QWidget*) {}

qint32 clsFormataSQL::GetLineFromChar(QWidget* mhwnd, qint32 CharPos) const {
    return SendEditMessage(mhwnd, EM_LINEFROMCHAR, CharPos);
}

qint32 clsFormataSQL::GetCharFromLine(QWidget* mhwnd, qint32 LineIndex) const {
    return SendEditMessage(mhwnd, EM_LINEINDEX, LineIndex);
}

qint32 clsFormataSQL::LineLen(QWidget* mhwnd, qint32 CharPos) const {
    return SendEditMessage(mhwnd, EM_LINELENGTH, CharPos);
}

QString clsFormataSQL::GetLine(QWidget* mhwnd, qint32 LineIndex) const {
    const qint32 start = GetCharFromLine(mhwnd, LineIndex);
    if (start < 0)
        return {}; // no such line: the caret's line must not be read instead
    const qint32 n = LineLen(mhwnd, start);
    if (n < 1)
        return {};
    if (n > 0xFFFF)
        throw VarnoltError::overflow();
    // The first element carries the count of characters the line may fill in.
    std::vector<char16_t> buffer(std::size_t(n) + 1, 0);
    buffer[0] = char16_t(n);
    const qint32 copied = SendEditMessage(mhwnd, EM_GETLINE, LineIndex, buffer.data());
    if (copied < 1)
        return {};
    return QString::fromUtf16(buffer.data(), std::min(copied, n));
}
