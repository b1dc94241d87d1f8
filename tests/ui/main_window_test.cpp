// SPDX-License-Identifier: MIT
// The main window, headless, driven through objectNames with scripted dialogs.
#include <gtest/gtest.h>

#include <signal.h>

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <map>
#include <memory>

#include "document/template.h"
#include "protocol/preview_protocol.h"
#include "support/accessible.h"
#include "support/scripted_dialogs.h"
#include "support/temp_dir.h"
#include "ui/main_window.h"
#include "ui/picture_viewer.h"
#include "ui/widgets.h"

namespace tessivane::test {
namespace {

using Answer = Dialogs::Answer;

PictureViewer* openViewer() {
    const QWidgetList all = QApplication::topLevelWidgets();
    const auto found = std::find_if(all.begin(), all.end(), [](const QWidget* w) {
        return w->objectName() == "PictureViewer" && w->isVisible();
    });
    return found == all.end() ? nullptr : qobject_cast<PictureViewer*>(*found);
}

// Drags the files over the widget, and drops them when the drag is taken.
bool drop(QWidget* target, const QStringList& paths) {
    QMimeData mime;
    for (const QString& path : paths) {
        mime.setUrls(mime.urls() << QUrl::fromLocalFile(path));
    }
    QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent dropped(QPointF(2, 2), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    return enter.isAccepted() && QApplication::sendEvent(target, &dropped) && dropped.isAccepted();
}

// The frames the stand-in program has written down so far, as "name=payload", in order; only
// those with the name when one is given.
QByteArrayList framesIn(const QString& path, const QByteArray& name = {}) {
    PreviewFrameReader reader;
    reader.append(readBytes(path));
    QByteArrayList frames;
    while (auto frame = reader.next()) {
        if (name.isEmpty() || frame->name == name) {
            frames << frame->name + '=' + frame->payload;
        }
    }
    return frames;
}
QByteArrayList documentsIn(const QString& path) {
    return framesIn(path, "document");
}

class WindowTest : public ::testing::Test {
public:
    void TearDown() override {
        window.reset();
        EXPECT_TRUE(dialogs.scriptUsedUp()) << "a scripted answer was left over";
    }
    void start(const QString& commandLine = QString()) {
        window = std::make_unique<MainWindow>(commandLine, dialogs);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    template <class T = QWidget>
    T* find(const char* name) const {
        T* found = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << "nothing named " << name;
        return found;
    }
    QLineEdit* edit(const char* name) const { return find<QLineEdit>(name); }
    // "name=state|...": text (and " (disabled)"), choice, "on"/"off", or a sample's colours.
    void expectStates(const QString& states) const {
        for (const QString& entry : states.split('|')) {
            const QWidget* w = window->findChild<QWidget*>(entry.section('=', 0, 0));
            const auto* box = qobject_cast<const QLineEdit*>(w);
            const auto* list = qobject_cast<const ChoiceList*>(w);
            const auto* radio = qobject_cast<const QRadioButton*>(w);
            const QString state = box    ? box->text() + (box->isEnabled() ? "" : " (disabled)")
                                  : list ? list->text()
                                  : radio
                                      ? QString(radio->isChecked() ? "on" : "off")
                                      : w->palette().color(QPalette::WindowText).name() + " on " +
                                            w->palette().color(QPalette::Window).name();
            EXPECT_EQ(state.toStdString(), entry.mid(entry.indexOf('=') + 1).toStdString());
        }
    }

    ScriptedDialogs dialogs;
    TempDir temp;
    std::unique_ptr<MainWindow> window;
};

template <class Param>
class WindowTestWith : public WindowTest, public ::testing::WithParamInterface<Param> {};

// Controls inside their boxes, uncovered, captions and colours whole, "..." level with its box;
// the tab order; access keys (each box's from another); Ctrl+A, which a text box keeps, is About.
TEST_F(WindowTest, LayoutAndKeyboard) {
    start();
    for (const QWidget* parent :
         {window->centralWidget(), find("frmFont"), find("frmSounds"), find("frmGraphic")}) {
        QRegion taken;
        for (const QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_TRUE(parent->rect().contains(child->geometry()) &&
                        !taken.intersects(child->geometry()))
                << qPrintable(child->objectName());
            taken += child->geometry();
            const auto* label = qobject_cast<const QLabel*>(child);
            if ((label && label->buddy()) || qobject_cast<const QRadioButton*>(child)) {
                EXPECT_GE(child->width(), child->sizeHint().width());
            }
        }
    }
    const auto* colours = find<ChoiceList>("ColSel");
    EXPECT_LE(colours->sizeHintForColumn(0), colours->viewport()->width());
    EXPECT_EQ(colours->geometry().bottom(), find("Fnts")->geometry().bottom());
    for (const auto& [button, box] : std::map<const char*, const char*>{
             {"Browse1", "Sound"}, {"Browse2", "Bck"}, {"Browse3", "Img"}}) {
        EXPECT_EQ(std::pair(find(button)->y(), find(button)->height()),
                  std::pair(edit(box)->y(), edit(box)->height()));
    }
    find<QRadioButton>("Number")->setChecked(true);
    QStringList visited;
    for (find("Fnts")->setFocus();
         visited.size() < 30 && !visited.contains(QApplication::focusWidget()->objectName());) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited.join(' '),
              "Fnts ColSel Title Info Sound Browse1 optLoop Number txtLoop Bck "
              "Browse2 Img Browse3 Fol");
    EXPECT_EQ(expectSpeakableTabStops(window.get()).join('|'),
              "Font|Colour|Title Size:|Information Text Size:|Sound file|Choose sound file…|Loop "
              "Forever|Loop for:|Number of times|Background Image:|Choose background image…|Line "
              "Image:|Choose line image…|Folder Description:");
    for (const char* key : {"S Sound", "P Number", "L optLoop", "B Bck", "N Img", "D Fol", "O Fnts",
                            "C ColSel", "T Title", "I Info"}) {
        QTest::keyClick(window.get(), key[0], Qt::AltModifier);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), key + 2) << key;
        // A radio button's key also chooses it, clicking it about 100 ms later.
        auto* radio = qobject_cast<QRadioButton*>(QApplication::focusWidget());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return !radio || (radio->isChecked() && !radio->isDown()); }));
        EXPECT_TRUE(!radio || edit("txtLoop")->isEnabled() == (key[0] == 'P')) << key;
    }
    dialogs.answer(Answer::Ok);
    QTest::keyClick(edit("Title"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(dialogs.shown().empty() ? QString() : dialogs.last().title, "About");
}

// Keys typed over a box's text, then the info size, title size and loop count: each key corrected.
using TypedTest = WindowTestWith<const char*>;

TEST_P(TypedTest, BoxesAreCorrectedAsTypedAndEachSampleFollowsItsSize) {
    const QStringList typed = QString(GetParam()).split(' ');  // keys, info, title, loop count
    start();
    find<QRadioButton>("Number")->setChecked(true);
    edit("Title")->setText("30");
    const auto type = [&](const char* box) {
        edit(box)->selectAll();
        QTest::keyClicks(edit(box), typed[0]);
        return edit(box)->text().toStdString();
    };
    const auto size = [&](const char* sample) { return find(sample)->font().pointSizeF(); };
    EXPECT_EQ(type("Info"), typed[1].toStdString());
    EXPECT_EQ(size("infoSample"), typed[1].toDouble());
    EXPECT_EQ(size("titleSample"), 30);
    EXPECT_EQ(type("Title"), typed[2].toStdString());
    EXPECT_EQ(size("titleSample"), typed[2].toDouble());
    EXPECT_EQ(type("txtLoop"), typed[3].toStdString());
    const QString face = find<ChoiceList>("Fnts")->value();  // the template's "verdana"
    EXPECT_TRUE(face == "verdana" && find<QLabel>("infoSample")->text() == face &&
                find("infoSample")->font().family() == face);
}

const char* const kTyped[] = {"x 8 10 1", "-5 85 105 15", "0.5 1.5 1.5 1.5", "2161 2160 2160 2161"};
INSTANTIATE_TEST_SUITE_P(Keys, TypedTest, ::testing::ValuesIn(kTyped));

// One setting line of the template changed, read at start-up: where its value lands.
using ReaderTest = WindowTestWith<std::tuple<int, const char*, const char*>>;

TEST_P(ReaderTest, SettingLineLandsInItsControl) {
    const auto& [line, text, states] = GetParam();
    start(temp.file("read.htt", templateBytes({{line, text}})));
    expectStates(states);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderTest,
    ::testing::Values(std::tuple{9, "body  {font: 12.5pt/0pt x; margin: 0}", "Info=12.5|Title=1"},
                      std::tuple{9, "body  {font: 8pt/10pt dejavu sans MONO; margin: 0}",
                                 "Fnts=DejaVu Sans Mono"},
                      std::tuple{10, "{font-weight: bold; color: SILVER}",
                                 "titleSample=#c0c0c0 on #000000"},
                      std::tuple{10, "{font-weight: bold; color: Gray}",
                                 "ColSel=Gray (custom)|infoSample=#808080 on #c0c0c0"},
                      std::tuple{10, "{font-weight: bold; color: }", "ColSel="},
                      std::tuple{28, "<bgsound src=\"file://a b.wav\"loop=\"3\" > ",
                                 "Sound=a b.wav|Number=on|optLoop=off|txtLoop=3"},
                      std::tuple{28, "<bgsound src=\"file://\"loop=\"infinite\">",
                                 "Sound=|optLoop=on|Number=off|txtLoop=1 (disabled)"}));

// Too short for every setting line: the lines before are read, "Load Error", the rest stays as it
// was.
TEST_F(WindowTest, ShortDocumentStopsAtTheMissingLineAndKeepsTheRest) {
    const QString first =
        temp.file("first.htt", templateBytes({{9, "body  {font: 11pt/13pt x; margin: 0}"}}, 100));
    dialogs.answer(Answer::Ok);
    start(first);
    EXPECT_EQ(dialogs.last().text,
              "There was an error during loading the HTT file '" + first + "'.");
    EXPECT_EQ(window->currentFile(), first);
    expectStates("Info=11|Title=13|Sound=C:\\windows\\media\\Nothing.wav|Bck=|Img=|Fol=");
}

// Ctrl+S with nothing edited writes back the very bytes read, here of a file whose face and colour
// no list holds: each is shown as a marked entry of its own, chosen, and the samples name the face.
// New after Open brings back every setting and every line of the template, which Ctrl+S writes
// byte for byte. Another entry chosen is written as before.
TEST_F(WindowTest, CtrlSWithNothingEditedChangesNoByte) {
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(temp.root()));  // where the template's bare paths lead
    for (const char* name :
         {"C:\\windows\\media\\Nothing.wav", "c:\\Nothing.gif", "c:\\NoLine.gif"}) {
        temp.file(name, "x");
    }
    const QByteArray theirs =
        templateBytes({{9, "body  {font: 8pt/10pt Tessivane Lost Face; margin: 0}"},
                       {10, "{font-weight: bold; color: DarkSlateGray}"},
                       {40, "<!-- a line of their own -->"}});
    const QString file = temp.file("theirs.htt", theirs);
    start({});
    const int colourWidth = find<ChoiceList>("ColSel")->width();
    start(file);
    expectStates("Fnts=Tessivane Lost Face (not installed)|ColSel=DarkSlateGray (custom)");
    // The narrow colour list makes room for the whole entry, and gives it back for the next.
    auto* colours = find<ChoiceList>("ColSel");
    EXPECT_GT(colours->width(), colourWidth);
    EXPECT_LE(colours->visualItemRect(colours->currentItem()).left() +
                  colours->fontMetrics().horizontalAdvance(colours->text()),
              colours->viewport()->width());
    EXPECT_EQ(find<QLabel>("titleSample")->text(), "Tessivane Lost Face");
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readBytes(file), theirs);

    dialogs.answer(Answer::No);
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(find<ChoiceList>("Fnts")->value() + find<ChoiceList>("ColSel")->text(),
              "verdanaBlack");
    EXPECT_EQ(colours->width(), colourWidth);
    dialogs.choose(temp.path("new.htt"));
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(readBytes(temp.path("new.htt")), templateBytes());

    find<ChoiceList>("Fnts")->setCurrentRow(1);
    find<ChoiceList>("ColSel")->setCurrentRow(4);
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    const QByteArray saved = readBytes(temp.path("new.htt"));
    EXPECT_TRUE(saved.contains("10pt " + find<ChoiceList>("Fnts")->text().toUtf8() + "; margin"));
    EXPECT_TRUE(saved.contains("color: Navy}"));
    QDir::setCurrent(previous);
}

// A face the list holds in another letter case is chosen there, and the font line, written again
// for a new size, keeps the document's spelling of it.
TEST_F(WindowTest, AFaceFoundLetterCaseAsideKeepsTheDocumentsSpelling) {
    TempDir temp;
    const QString file = temp.file(
        "lower.htt", templateBytes({{9, "body  {font: 8pt/10pt dejavu sans; margin: 0}"}}));
    start(file);
    EXPECT_EQ(find<ChoiceList>("Fnts")->text(), "DejaVu Sans");
    edit("Title")->setText("30");
    QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
    const QByteArray saved = readBytes(file);
    EXPECT_TRUE(saved.contains("pt dejavu sans; margin: 0}"))
        << saved.mid(saved.indexOf("body"), 50).data();
    EXPECT_FALSE(saved.contains("DejaVu Sans"));
}

// Every family once by its plain name, sorted ignoring case; also "aejaVu Sans" from two foundries.
TEST_F(WindowTest, FontListHoldsEveryFamilyOnceSortedIgnoringCase) {
    QByteArray font = readBytes("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_FALSE(font.isEmpty()) << "fonts-dejavu-core is installed with the build tools";
    font.replace(QByteArray("\0D\0e\0j\0a", 8), QByteArray("\0a\0e\0j\0a", 8));  // "aejaVu Sans"
    for (const char* vendor : {"TsvA", "TsvB"}) {
        for (int i = 0; i < qFromBigEndian<quint16>(font.constData() + 4); ++i) {
            const char* record = font.constData() + 12 + 16 * i;
            if (QByteArray(record, 4) == "OS/2") {
                font.replace(qFromBigEndian<quint32>(record + 8) + 58, 4, vendor);
            }
        }
        ASSERT_GE(QFontDatabase::addApplicationFontFromData(font), 0);
    }
    ASSERT_GE(QFontDatabase::families().filter(QRegularExpression("^aejaVu Sans \\[")).size(), 2);
    start();
    QStringList listed = find<ChoiceList>("Fnts")->texts();
    if (!QFontDatabase::hasFamily("verdana")) {
        ASSERT_EQ(listed.takeFirst(), "verdana (not installed)");  // the template's face
    }
    EXPECT_TRUE(std::is_sorted(
        listed.begin(), listed.end(),
        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    QStringList families = QFontDatabase::families();
    families.replaceInStrings(QRegularExpression(" \\[[^]]*\\]$"), "").removeDuplicates();
    std::sort(listed.begin(), listed.end());
    std::sort(families.begin(), families.end());
    EXPECT_EQ(listed, families);
}

// The shared Open dialog with the chooser's title and filter, at the last name and filter; a file
// fills the box as typing would (a sound disables the loop count); pictures previewed, one viewer.
using ChooserTest = WindowTestWith<std::tuple<const char*, const char*, const char*, int>>;

TEST_P(ChooserTest, ChosenFileFillsItsBox) {
    const auto& [button, box, title, placement] = GetParam();
    start();
    find<QRadioButton>("Number")->setChecked(true);
    QPointer<PictureViewer> viewer;
    for (const QString name : {"one.gif", "two.gif"}) {
        dialogs.choose(temp.file(name, kGif), 3);
        find<QPushButton>(button)->click();
        expectStates(QString("%1=%2|txtLoop=1%3")
                         .arg(box, temp.path(name), placement < 0 ? " (disabled)" : ""));
        viewer = viewer ? viewer.data() : openViewer();
        EXPECT_EQ(openViewer(), viewer.data());
    }
    dialogs.cancelDialog();
    find<QPushButton>(button)->click();
    EXPECT_EQ(dialogs.last().title, title);
    EXPECT_EQ(dialogs.last().state.nameFilters,
              placement < 0 ? filters::sound() : filters::image());
    EXPECT_EQ(dialogs.last().state.fileName, temp.path("two.gif"));
    EXPECT_EQ(dialogs.last().state.selectedNameFilter, dialogs.last().state.nameFilters.at(3));
    ASSERT_EQ(viewer != nullptr, placement >= 0);
    if (viewer) {
        EXPECT_EQ(viewer->windowTitle(), "Picture Viewer - " + temp.path("two.gif"));
        EXPECT_EQ(int(viewer->findChild<PictureView*>()->placement()), placement);
    }
}

using Placement = PictureView::Placement;
INSTANTIATE_TEST_SUITE_P(
    Buttons, ChooserTest,
    ::testing::Values(std::tuple{"Browse1", "Sound", "Choose Sound File", -1},  // no preview
                      std::tuple{"Browse2", "Bck", "Choose Background Image",
                                 int(Placement::Tiled)},
                      std::tuple{"Browse3", "Img", "Choose Line Image", int(Placement::Centred)}));

// Exit with the viewer open, and Cancel to the question (whose every answer the file commands'
// tests prove): the window stays, the viewer closes, nothing is saved.
TEST_F(WindowTest, CancelledExitKeepsTheWindowAndClosesTheViewer) {
    start();
    dialogs.choose(temp.file("panel.gif", kGif));
    find<QPushButton>("Browse2")->click();
    const QPointer<PictureViewer> viewer = openViewer();
    ASSERT_FALSE(viewer.isNull());
    dialogs.answer(Answer::Cancel);
    find<QAction>("mnuExit")->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.isNull(); }));
    EXPECT_TRUE(dialogs.last().title == "Save Changes" && folderEntries(temp.root()).size() == 1);
}

// A path box takes one file as if chosen; a template anywhere opens as Open would; others refused.
TEST_F(WindowTest, DroppedFiles) {
    start();
    const QString ours = temp.file("dropped.htt", templateBytes({{299, "Dropped"}}));
    const QString a = temp.file("a.bmp", "x"), b = temp.file("b.bmp", "x");
    const std::pair<const char*, QStringList> refused[] = {
        {"Bck", {a, b}},  {"Img", {temp.root()}}, {"Sound", {temp.path("none")}},
        {"frmFont", {a}}, {"Fnts", {ours, a}},    {"Fol", {a}}};
    for (const auto& [target, files] : refused) {
        EXPECT_FALSE(drop(find(target), files)) << target;
    }
    ASSERT_TRUE(drop(edit("Img"), {temp.file("line.gif", kGif)}));
    EXPECT_EQ(openViewer()->windowTitle(), "Picture Viewer - " + temp.path("line.gif"));
    dialogs.answer(Answer::Cancel);
    ASSERT_TRUE(drop(window->centralWidget(), {ours}));
    EXPECT_TRUE(dialogs.shown().empty()) << "the question waits until the drop has finished";
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.scriptUsedUp(); }));
    expectStates("Fol=%THISDIRNAME%|Img=" + temp.path("line.gif"));
    for (const char* target : {"Fnts", "Fol", "Info", "frmGraphic"}) {
        dialogs.answer(Answer::No);
        edit("Fol")->setText("before");
        EXPECT_TRUE(drop(find(target), {ours})) << target;
        EXPECT_TRUE(QTest::qWaitFor([&] { return edit("Fol")->text() == "Dropped"; })) << target;
        EXPECT_EQ(window->currentFile(), ours);
    }
}

// The program is sent the title, the folder and the document as Save would write it; typing
// sends one more document once the keys pause; a preview that dies is said in the status bar
// and Reload starts it again; closing the window ends it.
TEST_F(WindowTest, PreviewIsFedAndFollowedThroughItsLife) {
    const QString frames = temp.path("preview.frames");
    const QString program =
        temp.file("preview", "#!/bin/sh\necho $$ >\"$0.pid\"\nexec cat >>\"$0.frames\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TESSIVANE_PREVIEW_PROGRAM", QFile::encodeName(program));
    start();
    const auto pid = [&] { return pid_t(readBytes(program + ".pid").trimmed().toInt()); };
    find<QAction>("mnuPreview")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == 1; }));
    EXPECT_EQ(framesIn(frames).mid(0, 3),
              (QByteArrayList{"version=1", "title=HyperText Template1.htt",
                              "folder=" + QDir::homePath().toUtf8()}));
    EXPECT_TRUE(documentsIn(frames)[0].contains("\r\n%THISDIRNAME%\r\n"));

    auto* description = window->findChild<QLineEdit*>("Fol");
    description->selectAll();
    QTest::keyClicks(description, "Holidays");
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == 2; }));
    EXPECT_TRUE(documentsIn(frames)[1].contains("\r\nHolidays\r\n"));
    QTest::qWait(3 * PreviewLink::kSettleMs);
    EXPECT_EQ(documentsIn(frames).size(), 2) << "one document for the whole word";

    // Every control's change reaches the preview, each as the line it sets.
    const auto type = [&](const char* name, const QString& text) {
        find<QLineEdit>(name)->setText(text);
    };
    const auto choose = [&](const char* name, int row) {
        find<QListWidget>(name)->setCurrentRow(row);
    };
    const std::vector<std::pair<std::function<void()>, QByteArray>> changes = {
        {[&] { find<QRadioButton>("Number")->setChecked(true); }, "loop=\"1\""},
        {[&] { type("txtLoop", "7"); }, "loop=\"7\""},
        {[&] { find<QRadioButton>("optLoop")->setChecked(true); }, "loop=\"infinite\""},
        {[&] { type("Sound", "chime.wav"); }, "chime.wav"},
        {[&] { type("Bck", "paper.gif"); }, "paper.gif"},
        {[&] { type("Img", "rule.gif"); }, "rule.gif"},
        {[&] { type("Title", "15"); }, "15pt"},
        {[&] { type("Info", "11"); }, "11pt"},
        {[&] { choose("Fnts", 1); }, find<QListWidget>("Fnts")->item(1)->text().toUtf8()},
        {[&] { choose("ColSel", 2); }, find<QListWidget>("ColSel")->item(2)->text().toUtf8()},
    };
    for (const auto& [change, shows] : changes) {
        const qsizetype before = documentsIn(frames).size();
        change();
        ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == before + 1; }))
            << shows.toStdString();
        EXPECT_TRUE(documentsIn(frames).last().contains(shows)) << shows.toStdString();
    }

    auto* notice = window->findChild<QWidget*>("previewStopped");
    ASSERT_TRUE(notice && !notice->isVisible());
    const pid_t first = pid();
    ASSERT_GT(first, 0);
    ::kill(first, SIGKILL);
    ASSERT_TRUE(QTest::qWaitFor([&] { return notice->isVisible(); }));
    window->findChild<QPushButton*>("previewReload")->click();
    EXPECT_FALSE(notice->isVisible());
    const qsizetype sent = documentsIn(frames).size();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return pid() != first && documentsIn(frames).size() == sent + 1; }));
    EXPECT_TRUE(documentsIn(frames).last().contains("\r\nHolidays\r\n"));

    const pid_t second = pid();
    dialogs.answer(Dialogs::Answer::No);
    EXPECT_TRUE(window->close());
    EXPECT_NE(::kill(second, 0), 0) << "the preview outlived the window";

    // A file named relative to the working folder is shown in its own folder.
    QDir(temp.root()).mkdir("sub");
    temp.file("sub/f.htt", templateBytes());
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(temp.root());
    start("sub/f.htt");
    find<QAction>("mnuPreview")->trigger();
    QDir::setCurrent(workingFolder);
    ASSERT_TRUE(QTest::qWaitFor([&] { return framesIn(frames, "folder").size() == 3; }));
    EXPECT_EQ(framesIn(frames, "folder").last(), "folder=" + temp.path("sub").toUtf8());

    // Without the program the item is there but disabled, and says which package has it.
    qputenv("TESSIVANE_PREVIEW_PROGRAM", QFile::encodeName(temp.path("not-installed")));
    start();
    qunsetenv("TESSIVANE_PREVIEW_PROGRAM");
    const auto* preview = find<QAction>("mnuPreview");
    EXPECT_TRUE(!preview->isEnabled() && preview->toolTip().contains("tessivane-preview"));
}

// File > Use for Folder follows Save As. It starts at the running preview's folder, puts the
// result in the status bar, and the preview then shows the folder.
TEST_F(WindowTest, UseForFolderReportsInTheStatusBarAndThePreviewShowsTheFolder) {
    const QString frames = temp.path("preview.frames");
    const QString program = temp.file("preview", "#!/bin/sh\nexec cat >>\"$0.frames\"\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("TESSIVANE_PREVIEW_PROGRAM", QFile::encodeName(program));
    start();
    const QList<QAction*> items = find<QMenu>("mnuFile")->actions();
    EXPECT_EQ(items.indexOf(find<QAction>("mnuUseFolder")),
              items.indexOf(find<QAction>("mnuAs")) + 1);
    for (const char* box : {"Sound", "Bck", "Img"}) {
        edit(box)->setText(temp.file(box, "GIF89a"));
    }
    find<QAction>("mnuPreview")->trigger();
    qunsetenv("TESSIVANE_PREVIEW_PROGRAM");
    ASSERT_TRUE(QTest::qWaitFor([&] { return documentsIn(frames).size() == 1; }));
    const QString folder = temp.path("shown");
    ASSERT_TRUE(QDir().mkdir(folder));
    dialogs.choose(folder);
    dialogs.answerLook({});
    find<QAction>("mnuUseFolder")->trigger();
    EXPECT_EQ(dialogs.shown().front().state.fileName, QDir::homePath());
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("The folder '" + folder +
                                                                 "' now shows Folder.htt."));
    EXPECT_EQ(window->currentFile(), "HyperText Template1.htt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return framesIn(frames, "folder").size() == 2; }));
    EXPECT_EQ(framesIn(frames, "folder").last(), "folder=" + QFile::encodeName(folder));
    dialogs.answer(Answer::No);
    EXPECT_TRUE(window->close());
}

}  // namespace
}  // namespace tessivane::test

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
