// Text widths for the grid: whatever fonts the machine has, the quick measure gives the
// width a full layout gives.
#include "sqltools/SqlEditorCommon.h"
#include "sqltools/TextWidth.h"

#include <QFontDatabase>
#include <QList>
#include <QStringList>
#include <QFontMetrics>
#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(TextWidthTest, EveryTextMeasuresAsALaidOutLine) {
    const QString alphabet = QString::fromUtf8(
        "abcdefghijklmnopqrstuvwxyz ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789 .,-:;'\"()[]/\\ "
        "fi ffl AV To Wa LT Yy ÃÕÇçãõéà ÅØæœŁłß €@#&*+=<>?!_ 日本 Ωλ \t");
    QList<QFont> fonts = {SqlEditor::EditorFont(), SqlEditor::WindowFont()};
    const QStringList families = QFontDatabase::families();
    for (int i = 0; i < families.size(); i += qMax(1, int(families.size() / 6)))
        fonts << QFont(families[i], 10);
    QRandomGenerator random(7);
    for (const QFont& font : fonts) {
        TextWidth width(font);
        const QFontMetrics metrics(font);
        int misses = 0;
        for (int i = 0; i < 3000; ++i) {
            QString text;
            const int length = random.bounded(24);
            for (int j = 0; j < length; ++j)
                text += alphabet[random.bounded(int(alphabet.size()))];
            if (width(text) != metrics.horizontalAdvance(text) && ++misses < 4)
                ADD_FAILURE() << font.family().toStdString() << ": \"" << text.toStdString()
                              << "\" " << width(text) << " against "
                              << metrics.horizontalAdvance(text);
        }
        EXPECT_EQ(misses, 0) << font.family().toStdString();
    }
}
