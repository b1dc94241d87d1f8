// SPDX-License-Identifier: MIT
#pragma once
// The settings form: a control for every setting in three groups, and the font and colour
// samples, laid out in twips as the window's client area.
//
// While the user works, the controls are the only copy of the settings. Their change handling
// corrects the sizes and the loop count in place (with the rules of document/numeric.h) and keeps
// the samples up to date; a control set from code runs the same handling as the user's own edit,
// which showDocument() relies on.
#include <QList>
#include <QString>
#include <QWidget>
#include <string_view>

#include "document/settings.h"
#include "document/working_document.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tessivane {

class ChoiceList;
class GroupBox;
class RadioButton;

class SettingsForm : public QWidget {
    Q_OBJECT

public:
    enum class PathBox { Sound, Background, LineImage };

    // Builds the controls, fills the font list and gives the font list the focus.
    explicit SettingsForm(QWidget* parent = nullptr);

    FolderViewSettings settings() const;
    // Shows the document's settings in the controls (their change handling runs). False when the
    // document is too short to hold every setting line: it stops at the first missing one.
    bool showDocument(const WorkingDocument& document);

    QLineEdit* pathBox(PathBox box) const;
    // The seven text boxes, in tab order.
    QList<QLineEdit*> textBoxes() const;

signals:
    // Any setting changed, by the user or by code.
    void changed();
    // The "..." button of a path box was pressed.
    void fileWanted(PathBox box);

private:
    class ControlsTarget;

    void createFontGroup();
    void createSoundGroup();
    void createGraphicGroup();
    void arrangeTabOrder();
    // Fills the font list with the name of every font family available for display, each once,
    // sorted ignoring letter case, and chooses the first.
    void fillFontList();
    // Chooses the list's entry for a face or colour the document names, adding one shown as
    // `marked` (with `whole` as its tooltip, when the shown text is shortened) when the list
    // lacks it.
    void chooseEntry(ChoiceList* list, const QString& value, const QString& marked,
                     const QString& whole = {});
    void forgetDocumentEntries();
    void widenColourList(int entryWidth);
    int listFrameWidth() const;  // what a list takes beside its entries: frame and scroll bar
    static constexpr int kMarkedRole = Qt::UserRole + 1;
    // The room an entry of a list takes beside its text, in pixels.
    static constexpr int kItemPadding = 8;

    void updateSamples();
    // A size box's change handling: corrects the text in place, then refreshes the samples.
    void correctSize(QLineEdit* edit, std::string_view fallback);
    void correctLoopCount();

    GroupBox* fontGroup_ = nullptr;
    ChoiceList* fontList_ = nullptr;
    ChoiceList* colourList_ = nullptr;
    QLabel* colourLabel_ = nullptr;
    int colourListWidth_ = 0;  // as made, wide enough for every colour of the list
    QLineEdit* titleSizeEdit_ = nullptr;
    QLineEdit* infoSizeEdit_ = nullptr;
    QLabel* titleSample_ = nullptr;
    QLabel* infoSample_ = nullptr;

    GroupBox* soundGroup_ = nullptr;
    QLineEdit* soundEdit_ = nullptr;
    QPushButton* chooseSoundButton_ = nullptr;
    RadioButton* loopForeverButton_ = nullptr;
    RadioButton* loopCountButton_ = nullptr;
    QLineEdit* loopCountEdit_ = nullptr;

    GroupBox* graphicGroup_ = nullptr;
    QLineEdit* backgroundEdit_ = nullptr;
    QPushButton* chooseBackgroundButton_ = nullptr;
    QLineEdit* lineImageEdit_ = nullptr;
    QPushButton* chooseLineImageButton_ = nullptr;
    QLineEdit* descriptionEdit_ = nullptr;
};

}  // namespace tessivane
