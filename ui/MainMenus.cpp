#include "ui/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "ui/Texts.h"

namespace ui {

namespace {

using text::MainMenuText;
using text::Popup2DText;
using text::Popup3DText;

// Main-menu captions are named after their commands.
bool mainMenuText(Cmd cmd, MainMenuText& id)
{
    switch (cmd) {
#define VX_MAIN(name) case Cmd::name: id = MainMenuText::name; return true;
    VX_MAIN(MenuFil) VX_MAIN(MenuNew) VX_MAIN(MenuOpenFrac) VX_MAIN(MenuSaveFrac) VX_MAIN(MenuSaveAsFrac)
    VX_MAIN(MenuSavePict) VX_MAIN(MenuPrintCfg) VX_MAIN(MenuPrint) VX_MAIN(MenuPrintPar) VX_MAIN(MenuInfos)
    VX_MAIN(MenuPre) VX_MAIN(MenuExi) VX_MAIN(MenuFra) VX_MAIN(MenuCal) VX_MAIN(MenuSto) VX_MAIN(MenuEff)
    VX_MAIN(MenuVar) VX_MAIN(MenuPos) VX_MAIN(MenuRet) VX_MAIN(MenuCol) VX_MAIN(MenuRotateOut)
    VX_MAIN(MenuRotateIn) VX_MAIN(MenuPalSys) VX_MAIN(MenuPal8) VX_MAIN(MenuCoul24) VX_MAIN(Menu3D)
    VX_MAIN(Menu3DParam) VX_MAIN(MenuDraw2D) VX_MAIN(MenuMes) VX_MAIN(MenuSeeAll) VX_MAIN(MenuSee100)
    VX_MAIN(MenuGoto) VX_MAIN(MenuIter) VX_MAIN(MenuOrb) VX_MAIN(MenuProfilH) VX_MAIN(MenuMarker)
    VX_MAIN(MenuDeleteMkr) VX_MAIN(MenuFit) VX_MAIN(MenuNone) VX_MAIN(MenuEdg) VX_MAIN(MenuRelief)
    VX_MAIN(MenuAbo)
#undef VX_MAIN
    default: return false;
    }
}

QKeySequence shortcutFor(Cmd cmd)
{
    switch (cmd) {
    case Cmd::MenuNew: return QKeySequence::New;
    case Cmd::MenuOpenFrac: return QKeySequence::Open;
    case Cmd::MenuSaveFrac: return QKeySequence::Save;
    case Cmd::MenuSaveAsFrac: return QKeySequence::SaveAs;
    case Cmd::MenuExi: return QKeySequence::Quit;
    case Cmd::MenuCal: return QKeySequence(Qt::Key_F5);
    case Cmd::MenuBack: return QKeySequence(Qt::ALT | Qt::Key_Left);
    case Cmd::MenuForward: return QKeySequence(Qt::ALT | Qt::Key_Right);
    default: return {};
    }
}

}  // namespace

QString withTextAmpersands(const QString& caption)
{
    QString out;
    out.reserve(caption.size() + 2);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c != QLatin1Char('&')) {
            out += c;
            continue;
        }
        const QChar next = i + 1 < caption.size() ? caption[i + 1] : QChar();
        if (next == QLatin1Char('&')) {
            out += QStringLiteral("&&");
            ++i;
        } else if (next.isNull() || next.isSpace()) {
            out += QStringLiteral("&&");  // "PertZ & PertZi": an ampersand of the text
        } else {
            out += c;  // the accelerator mark
        }
    }
    return out;
}

QString commandCaption(Cmd cmd, int language, int resumeLine, int imageHeight)
{
    MainMenuText mainId{};
    if (mainMenuText(cmd, mainId))
        return tx(mainId, language);
    switch (cmd) {
    case Cmd::PopCalcul: {
        QString caption = tx(Popup2DText::PopCalcul, language);
        if (resumeLine > 0 && resumeLine < imageHeight)
            caption += tx(Popup2DText::PopCalculFromLine, language) + QString::number(resumeLine);
        return caption;
    }
    case Cmd::PopVar: return tx(Popup2DText::PopVar, language);
    case Cmd::PopColor: return tx(Popup2DText::PopColor, language);
    case Cmd::PopCalculZ: return tx(Popup2DText::PopCalculZ, language);
    case Cmd::PopStop: return tx(Popup2DText::PopStop, language);
    case Cmd::PopErase: return tx(Popup2DText::PopErase, language);
    case Cmd::PopCenter: return tx(Popup2DText::PopCenter, language);
    case Cmd::PopZoom: return tx(Popup2DText::PopZoom, language);
    case Cmd::PopJulia: return tx(Popup2DText::PopJulia, language);
    case Cmd::PopPert: return tx(Popup2DText::PopPert, language);
    case Cmd::PopSeeAll: return tx(Popup2DText::PopSeeAll, language);
    case Cmd::PopSee100: return tx(Popup2DText::PopSee100, language);
    case Cmd::PopAzimut: return tx(Popup2DText::PopAzimut, language);
    case Cmd::PopDraw3D: return tx(Popup2DText::PopDraw3D, language);
    case Cmd::PopMarker: return tx(Popup2DText::PopMarker, language);
    case Cmd::PopShowMarker: return tx(Popup2DText::PopShowMarker, language);
    case Cmd::Pop3DParameters: return tx(Popup3DText::Pop3DParameters, language);
    case Cmd::Pop3DDraw2D: return tx(Popup3DText::Pop3DDraw2D, language);
    case Cmd::Pop3DColor: return tx(Popup3DText::Pop3DColor, language);
    case Cmd::Pop3DAzimuth: return tx(Popup3DText::Pop3DAzimuth, language);
    case Cmd::Pop3DDeplY: return tx(Popup3DText::Pop3DDeplY, language);
    case Cmd::Pop3DShowMarker: return tx(Popup3DText::Pop3DShowMarker, language);
    case Cmd::MenuBack:
    case Cmd::PopBack:
        return tx(text::NavigationText::Back, language);
    case Cmd::MenuForward:
    case Cmd::PopForward:
        return tx(text::NavigationText::Forward, language);
    default: return {};
    }
}

MainMenus::MainMenus(QMainWindow* window) : QObject(window)
{
    QMenuBar* bar = window->menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));

    // The six drop-down menus, then "About" as an entry of the bar itself.
    for (MenuId id : {MenuId::File, MenuId::Fractal, MenuId::Colors, MenuId::View3D, MenuId::Measuring,
                      MenuId::Filters}) {
        const Cmd top = topLevelCommand(id);
        QMenu* m = bar->addMenu(QString::fromLatin1(commandInfo(top).objectName));
        m->setObjectName(QString::fromLatin1(commandInfo(top).objectName));
        m_menus[size_t(id)] = m;
        m_actions[size_t(top)] = m->menuAction();
    }
    auto* popup2D = new QMenu(window);
    popup2D->setObjectName(QStringLiteral("MainPopupMenu2D"));
    m_menus[size_t(MenuId::Popup2D)] = popup2D;
    auto* popup3D = new QMenu(window);
    popup3D->setObjectName(QStringLiteral("MainPopupMenu3D"));
    m_menus[size_t(MenuId::Popup3D)] = popup3D;

    for (const CommandInfo& info : commandTable()) {
        if (info.cmd == Cmd::MenuAbo) {
            auto* about = new QAction(window);
            about->setObjectName(QString::fromLatin1(info.objectName));
            bar->addAction(about);
            m_actions[size_t(info.cmd)] = about;
            connect(about, &QAction::triggered, this, [this] { emit commandTriggered(Cmd::MenuAbo); });
            continue;
        }
        if (isTopLevel(info.cmd))
            continue;
        QMenu* m = m_menus[size_t(info.menu)];
        if (info.separatorBefore)
            m->addSeparator();
        if (info.cmd == Cmd::file05) {
            QAction* sep = m->addSeparator();
            sep->setObjectName(QString::fromLatin1(info.objectName));
            m_actions[size_t(info.cmd)] = sep;
            continue;
        }
        auto* a = new QAction(window);
        a->setObjectName(QString::fromLatin1(info.objectName));
        a->setCheckable(info.checkable);
        const QKeySequence keys = shortcutFor(info.cmd);
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        m->addAction(a);
        const Cmd cmd = info.cmd;
        connect(a, &QAction::triggered, this, [this, cmd] { emit commandTriggered(cmd); });
        m_actions[size_t(info.cmd)] = a;
    }

    for (size_t i = 0; i < m_menus.size(); ++i) {
        const MenuId id = MenuId(i);
        if (!m_menus[i])
            continue;  // "About" is an entry of the bar, not a menu
        connect(m_menus[i], &QMenu::aboutToShow, this, [this, id] { emit menuOpening(id); });
    }
}

void MainMenus::setCaptions(int language, int resumeLine, int imageHeight, const std::array<QString, 4>& recentCaptions)
{
    for (const CommandInfo& info : commandTable()) {
        QAction* a = m_actions[size_t(info.cmd)];
        if (!a || info.cmd == Cmd::file05)
            continue;
        if (info.cmd >= Cmd::file01 && info.cmd <= Cmd::file04) {
            const int index = int(info.cmd) - int(Cmd::file01);
            // A "&" in a path is shown as itself, not as an accelerator mark.
            QString caption = recentCaptions[size_t(index)];
            caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(caption);
            continue;
        }
        a->setText(withTextAmpersands(commandCaption(info.cmd, language, resumeLine, imageHeight)));
    }
}

void MainMenus::applyRules(const CommandState& state)
{
    for (const CommandInfo& info : commandTable()) {
        QAction* a = m_actions[size_t(info.cmd)];
        if (!a)
            continue;
        const CommandRule rule = availableRule(info.cmd, state);
        a->setEnabled(rule.enabled);
        a->setVisible(rule.visible);
        if (info.checkable)
            a->setChecked(rule.checked);
    }
}

}  // namespace ui
