// The custom controls' drawing rules in tables, and the controls driven like a user would: heading
// clicks, a splitter drag, a search over a filled list.
#include "app/maillistmodel.h"
#include "app/searchdlg.h"
#include "app/helpdlg.h"
#include "app/velloxdlg.h"
#include "controls/buttonex.h"
#include "controls/drawing.h"
#include "controls/hyperlink.h"
#include "controls/listctrlex.h"
#include "controls/progresswnd.h"
#include "controls/splitter.h"
#include "mime/charset.h"
#include "scan/mailitem.h"

#include <QPlainTextEdit>
#include <QSplitter>
#include <QTest>

using namespace vellox;
using namespace vellox::ui;

namespace {

class SearchingDlg : public CVelloxDlg {
public:
    std::optional<QString> answer;
    int asked = 0;

protected:
    std::optional<QString> AskSearchText(const QString&) override
    {
        ++asked;
        return answer;
    }
};

std::vector<std::unique_ptr<tagMailItem>> MakeRecords(const std::vector<std::array<const char16_t*, 4>>& rows)
{
    std::vector<std::unique_ptr<tagMailItem>> v;
    for (const auto& r : rows) {
        auto m = std::make_unique<tagMailItem>();
        m->strFromText = r[0];
        m->strToText = r[1];
        m->strSubjectText = r[2];
        m->strBodyText = r[3];
        v.push_back(std::move(m));
    }
    return v;
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void cornerSizes()
    {
        const int cases[][3] = {{20, 3, 3}, {60, 5, 6}, {100, 5, 7}, {29, 3, 3}, {45, 4, 4}};
        for (const auto& c : cases) {
            QCOMPARE(ButtonRegionCorner(c[0]), c[1]);
            QCOMPARE(ButtonFrameCorner(c[0]), c[2]);
        }
    }

    void buttonColoursPerState()
    {
        struct Row {
            bool enabled;
            ButtonState state;
            bool focus;
            QColor bottom, text;
            QPoint offset;
        } rows[] = {
            {false, ButtonState::Hover, true, QColor(200, 200, 200), QColor(250, 250, 250), {0, 0}},
            {true, ButtonState::Hover, false, QColor(250, 200, 200), QColor(130, 130, 255), {-1, -1}},
            {true, ButtonState::Pressed, true, QColor(150, 100, 200), QColor(30, 130, 0), {1, 1}},
            {true, ButtonState::Normal, true, QColor(230, 230, 100), QColor(130, 130, 255), {0, 0}},
            {true, ButtonState::Normal, false, QColor(235, 235, 235), QColor(0, 0, 0), {0, 0}},
        };
        for (const auto& r : rows) {
            const ButtonLook l = ButtonLookFor(r.enabled, r.state, r.focus);
            QCOMPARE(l.bottom, r.bottom);
            QCOMPARE(l.text, r.text);
            QCOMPARE(l.textOffset, r.offset);
        }
    }

    void sortArrowPoints()
    {
        const ArrowLines up = SortArrowLines(100, 20, 8, true);
        QCOMPARE(up.light, (QVector<QPoint>{{84, 7}, {88, 12}, {78, 12}}));
        QCOMPARE(up.dark, (QVector<QPoint>{{79, 11}, {84, 6}}));
        const ArrowLines down = SortArrowLines(100, 20, 8, false);
        QCOMPARE(down.light, (QVector<QPoint>{{88, 7}, {83, 13}}));
        QCOMPARE(down.dark, (QVector<QPoint>{{83, 12}, {79, 7}, {88, 7}}));
    }

    void sortOrderIsOrdinalWithEmptyFirst()
    {
        QVERIFY(SortsBefore("", "a", true));
        QVERIFY(!SortsBefore("", "a", false));
        QVERIFY(SortsBefore("B", "a", true)); // ordinal: capitals before small letters
        QVERIFY(SortsBefore("2009-01-02", "2009-11-01", true));
        QVERIFY(SortsBefore("z", QString::fromUtf8("中"), true));
    }

    void progressLinesAndBusyBlock()
    {
        QCOMPARE(ProgressLines("a\r\nb"), (QStringList{"a", "b"}));
        QCOMPARE(ProgressLines("\r\nb"), QStringList{"\r\nb"});
        QCOMPARE(ProgressLines("one line"), QStringList{"one line"});
        QCOMPARE(BusyBlockLeft(0, 300), 0);
        QCOMPARE(BusyBlockLeft(1, 300), 26);
        QCOMPARE(BusyBlockLeft(2, 300), 53);
        QCOMPARE(BusyBlockLeft(12, 300), 20);
        QCOMPARE(BusyBlockColor(4), QColor(110, 110, 250));
    }

    void searchPasses()
    {
        const QStringList texts = {"alice", "bob", "carol", "bob again"};
        auto text = [&](int r) -> std::optional<QString> { return texts[r]; };
        QCOMPARE(FindNextRow(4, 0, "bob", text), 1);
        QCOMPARE(FindNextRow(4, 2, "bob", text), 3);
        QCOMPARE(FindNextRow(4, 4, "alice", text), 0); // last row selected: starts again at row 0
        QCOMPARE(FindNextRow(4, 2, "bob again", text), 3);
        QCOMPARE(FindNextRow(4, 1, "carol", text), 2);
        QCOMPARE(FindNextRow(4, 2, "alice", text), 0);  // second pass
        QCOMPARE(FindNextRow(4, 3, "carol", text), 2);  // the selected row is tested last
        QCOMPARE(FindNextRow(4, 0, "dave", text), -1);
        // A row without a record ends its pass.
        auto gap = [&](int r) -> std::optional<QString> {
            if (r == 1)
                return std::nullopt;
            return texts[r];
        };
        QCOMPARE(FindNextRow(4, 0, "carol", gap), -1);
        QCOMPARE(LowerAsciiLetters(QString::fromUtf8("ÄBC中")), QString::fromUtf8("Äbc中"));
    }

    void headingClicksSortAndFlip()
    {
        auto records = MakeRecords({{u"b", u"", u"x", u""}, {u"", u"", u"y", u""}, {u"a", u"", u"z", u""}});
        MailListModel model;
        std::vector<tagMailItem*> rows;
        for (auto& r : records)
            rows.push_back(r.get());
        model.SetRecords(rows);
        CListCtrlEx list(true);
        list.setModel(&model);
        list.resize(600, 300);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        auto clickHeading = [&](int column) {
            const int x = list.Header()->sectionViewportPosition(column) + list.Header()->sectionSize(column) / 2;
            QTest::mouseClick(list.Header()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
        };
        clickHeading(1);
        QCOMPARE(list.Header()->SortColumn(), 1);
        QVERIFY(list.Header()->Ascending());
        QCOMPARE(model.index(0, 1).data().toString(), QString(""));
        QCOMPARE(model.index(2, 1).data().toString(), QString("b"));
        clickHeading(1);
        QVERIFY(!list.Header()->Ascending());
        QCOMPARE(model.index(0, 1).data().toString(), QString("b"));
        QCOMPARE(model.index(2, 1).data().toString(), QString(""));
        clickHeading(3);
        QCOMPARE(list.Header()->SortColumn(), 3);
        QVERIFY(list.Header()->Ascending());
        QCOMPARE(model.index(0, 3).data().toString(), QString("x"));
        list.ForgetSort();
        QCOMPARE(list.Header()->SortColumn(), -1);
    }

    void splitterDragKeepsTheLimits()
    {
        CVelloxDlg d;
        d.resize(1000, 700);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QSplitter* split = d.SplitterX();
        QSplitterHandle* handle = split->handle(1);
        const int before = split->sizes()[0];
        auto drag = [&](int dx) {
            const QPoint start = handle->rect().center();
            QTest::mousePress(handle, Qt::LeftButton, {}, start);
            QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(dx, 0)),
                             handle->mapToGlobal(QPointF(start + QPoint(dx, 0))), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(handle, &move);
            QTest::mouseRelease(handle, Qt::LeftButton, {}, start + QPoint(dx, 0));
        };
        drag(60);
        QCOMPARE(split->sizes()[0], before + 60);
        // Far to the left: the left column keeps at least 200 pixels.
        drag(-2000);
        QCOMPARE(split->sizes()[0], 200);
        // Far to the right: the right column keeps at least 300 pixels.
        drag(3000);
        QVERIFY(split->sizes()[1] >= 300);
        QVERIFY(d.MailList()->height() >= 100);

        // Escape and a right-button press end a drag at the position reached.
        const int at = split->sizes()[0];
        const QPoint start = handle->rect().center();
        for (int way : {0, 1}) {
            const int from = split->sizes()[0];
            QTest::mousePress(handle, Qt::LeftButton, {}, start);
            QMouseEvent move(QEvent::MouseMove, QPointF(start - QPoint(40, 0)),
                             handle->mapToGlobal(QPointF(start - QPoint(40, 0))), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
            QApplication::sendEvent(handle, &move);
            if (way == 0)
                QTest::keyClick(handle, Qt::Key_Escape);
            else
                QTest::mousePress(handle, Qt::RightButton, {}, start - QPoint(40, 0));
            QCOMPARE(split->sizes()[0], from - 40);
            QVERIFY(!static_cast<CSplitterHandle*>(handle)->Dragging());
        }
        QCOMPARE(split->sizes()[0], at - 80);
    }

    void searchOnAFilledList()
    {
        InitEncodeTypes();
        auto records = MakeRecords({{u"alice@x", u"bob@y", u"Hello", u"first body"},
                                    {u"carol@x", u"dave@y", u"中文主题", u"second"},
                                    {u"erin@x", u"frank@y", u"Report", u"third BODY text"}});
        SearchingDlg d;
        d.show();
        std::vector<tagMailItem*> rows;
        for (auto& r : records)
            rows.push_back(r.get());
        d.MailModel()->SetRecords(rows); // shown newest first: erin, carol, alice
        d.answer = QString("BODY");
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 0); // erin: "third body text"
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 2); // alice: "first body"
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 0); // wraps around
        QCOMPARE(CVelloxDlg::LastSearchText(), QString("BODY"));
        // Across the joined fields: the end of the sender and the start of the recipient.
        d.answer = QString("x" "dave");
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 1);
        d.answer = QString::fromUtf8("中文");
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 1);
        // Cancel and an empty text change nothing.
        d.answer = std::nullopt;
        d.OnFind();
        d.answer = QString();
        d.OnFind();
        QCOMPARE(d.MailList()->currentIndex().row(), 1);
        QCOMPARE(CVelloxDlg::LastSearchText(), QString::fromUtf8("中文"));
        d.MailModel()->Clear();
    }

    void linkColoursAndVisitedState()
    {
        static QUrl opened;
        CHyperLink::s_openUrl = [](const QUrl& u) {
            opened = u;
            return true;
        };
        CHyperLink link("", "https://vellox.example.org/");
        link.resize(200, 20);
        link.show();
        QVERIFY(QTest::qWaitForWindowExposed(&link));
        QEvent away(QEvent::Leave);
        QApplication::sendEvent(&link, &away);
        QCOMPARE(link.text(), QString("https://vellox.example.org/"));
        QCOMPARE(link.toolTip(), QString("https://vellox.example.org/"));
        QCOMPARE(link.CurrentColor(), QColor(0, 0, 238));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&link, &enter);
        QCOMPARE(link.CurrentColor(), QColor(255, 0, 0));
        QVERIFY(link.font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&link, &leave);
        QVERIFY(!link.font().underline());
        QTest::mouseClick(&link, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(opened, QUrl("https://vellox.example.org/"));
        QVERIFY(link.Visited());
        QCOMPARE(link.CurrentColor(), QColor(85, 26, 139));
    }

    void helpShowsTheUsageText()
    {
        const QString usage = CHelpDlg::UsageText();
        QVERIFY(usage.startsWith(QString::fromUtf8("使用方法：")));
        for (const char* p : {"1。", "2。", "3。", "4。", "5。", "6。"})
            QVERIFY(usage.contains(QString::fromUtf8(p)));
        QVERIFY(!usage.contains(QString::fromUtf8("7。")));
        CHelpDlg help;
        QVERIFY(help.TextBox()->toPlainText().startsWith(QString::fromUtf8("使用方法：")));
        QCOMPARE(help.TextBox()->lineWrapMode(), QPlainTextEdit::NoWrap);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ControlsTest t;
    return QTest::qExec(&t, argc, argv);
}

#include "controls_test.moc"
