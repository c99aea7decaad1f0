#include "BrowserFixture.h"

class Routing : public BrowserFixture {
protected:
    void typeInSearch(const QString &text)
    {
        main->txtCerca->setFocus();
        main->txtCerca->setText(text);
    }
    void key(QWidget *w, Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(w, k, m); }
};

TEST_F(Routing, FirstEnterSelectsSecondEnterOpensAndPatternsFindTheirEntry)
{
    main->lstArgomenti->setCurrentRow(-1);
    typeInSearch(QStringLiteral("mar"));
    key(main->txtCerca, Qt::Key_Return);
    ASSERT_TRUE(main->lstArgomenti->currentItem());
    EXPECT_EQ(main->lstArgomenti->currentItem()->text(), QStringLiteral("marmellata"));
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("marmellata"));
    EXPECT_TRUE(session->finestre.editors().isEmpty());
    key(main->txtCerca, Qt::Key_Return);
    EXPECT_TRUE(editorOf(topics["marmellata"])) << "the second Enter opens it";

    // The same when the entry was selected before the typing began.
    editorOf(topics["marmellata"])->close();
    typeInSearch(QStringLiteral("mar"));
    key(main->txtCerca, Qt::Key_Return);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("marmellata"));
    key(main->txtCerca, Qt::Key_Return);
    EXPECT_TRUE(editorOf(topics["marmellata"]));

    for (const char *t : {"note ABC", "item A1C"})
        addTopic(session->store, categories["beta"], QString::fromLatin1(t), QString());
    main->list().FillTopicList();
    const auto firstMatch = [&](const QString &typed) {
        main->lstArgomenti->setCurrentRow(-1);
        typeInSearch(typed);
        key(main->txtCerca, Qt::Key_Return);
        return main->lstArgomenti->currentItem() && main->lstArgomenti->currentItem()->isSelected()
            ? main->lstArgomenti->currentItem()->text()
            : QString();
    };
    EXPECT_EQ(firstMatch(QStringLiteral("a?c")), QStringLiteral("item A1C"));
    EXPECT_EQ(firstMatch(QStringLiteral("zzz")), QString()) << "no match changes nothing";
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("zzz"));
}

TEST_F(Routing, UpDownEnterEscAndDelMoveTheSelectionAndTheFocusBetweenTheSearchBoxAndTheList)
{
    main->lstArgomenti->setCurrentRow(-1);
    main->lstArgomenti->setFocus();
    key(main->lstArgomenti, Qt::Key_Up);
    EXPECT_EQ(main->lstArgomenti->currentRow(), -1);
    EXPECT_EQ(main->focusWidget(), main->txtCerca);
    key(main->txtCerca, Qt::Key_Down);
    EXPECT_EQ(main->lstArgomenti->currentRow(), 0);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Agenda"));
    for (int i = 0; i < 3; ++i)
        key(main->txtCerca, Qt::Key_Down);
    EXPECT_EQ(main->lstArgomenti->currentRow(), 2) << "not past the last entry";
    key(main->txtCerca, Qt::Key_Up);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("marmellata"));

    // Enter in the list goes to the search box only when the values differ.
    main->lstArgomenti->setCurrentRow(-1);
    main->lstArgomenti->clearSelection();
    main->txtCerca->clear();
    main->lstArgomenti->setFocus();
    key(main->lstArgomenti, Qt::Key_Return);
    EXPECT_EQ(main->focusWidget(), main->lstArgomenti) << "no entry and no text: the same value";
    main->txtCerca->setText(QStringLiteral("abc"));
    main->lstArgomenti->setFocus();
    key(main->lstArgomenti, Qt::Key_Return);
    EXPECT_EQ(main->focusWidget(), main->txtCerca);
    EXPECT_TRUE(session->finestre.editors().isEmpty());

    // Enter with an empty box fills it; Esc depends on the mode.
    select(QStringLiteral("Agenda"));
    typeInSearch(QString());
    key(main->txtCerca, Qt::Key_Return);
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Agenda"));
    EXPECT_TRUE(session->finestre.editors().isEmpty());
    key(main->txtCerca, Qt::Key_Escape);
    EXPECT_EQ(main->txtCerca->text(), QString()) << "topic mode: Esc empties the box";
    main->cmdCambia_Click();
    select(QStringLiteral("Zeta"));
    key(main->txtCerca, Qt::Key_Escape);
    EXPECT_TRUE(main->list().isTopicMode()) << "category mode: Esc goes back into the selected category";
    EXPECT_EQ(main->labCategoria->text(), QStringLiteral("Zeta"));
    EXPECT_EQ(main->StatusPanel1->text(), QStringLiteral("List of available topics"));

    select(QStringLiteral("Far"));
    typeInSearch(QStringLiteral("Far"));
    main->txtCerca->setCursorPosition(0);
    services.dialogs.expectMsgBox(platform::vbNo);
    key(main->txtCerca, Qt::Key_Delete);
    EXPECT_EQ(services.dialogs.shown().constLast().prompt, QStringLiteral("Confirm deletion?"));
    EXPECT_EQ(main->txtCerca->text(), QStringLiteral("Far")) << "no character deleted";
}

TEST_F(Routing, ToolbarButtonsAndFunctionKeysFollowTheMode)
{
    // Which of Rename (3), Cut, Copy, Paste (6-8) and the two moves (10, 11) are on.
    const auto enabled = [&] {
        QString on;
        for (int b : {3, 6, 7, 8, 10, 11})
            on += main->ToolbarButtons[size_t(b)]->isEnabled() ? QLatin1Char('x') : QLatin1Char('-');
        return on;
    };
    // After start-up the last category was opened with Rename off: F2 does nothing.
    EXPECT_EQ(enabled(), QStringLiteral("-xx-xx"));
    select(QStringLiteral("Agenda"));
    key(main->lstArgomenti, Qt::Key_F2);
    main->cmdCambia_Click();
    EXPECT_EQ(enabled(), QStringLiteral("x-----"));
    select(QStringLiteral("beta"));
    main->Toolbar1_ButtonClick(main->ToolbarButtons[1]);  // "Apri"
    EXPECT_TRUE(main->list().isTopicMode());
    EXPECT_EQ(enabled(), QStringLiteral("-xx-xx"));
    select(QStringLiteral("Agenda"));
    main->Toolbar1_ButtonClick(main->ToolbarButtons[7]);  // "Copia"
    EXPECT_EQ(enabled(), QStringLiteral("-xxxxx"));
    main->cmdCambia_Click();
    EXPECT_EQ(enabled(), QStringLiteral("x-----"));

    // Opened by Enter, Rename stays on and F2 renames the topic.
    select(QStringLiteral("beta"));
    key(main->lstArgomenti, Qt::Key_Return);
    select(QStringLiteral("Agenda"));
    services.dialogs.expectInputBox(QStringLiteral("Agenda 2"));
    key(main->lstArgomenti, Qt::Key_F2);
    EXPECT_GE(rowOf(QStringLiteral("Agenda 2")), 0);
    key(main->lstArgomenti, Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(session->finestre.editors().size(), 1) << "Shift+F7 acts as F7";
}

TEST_F(Routing, EachFunctionKeyAndToolbarButtonAsksWhatItsCommandAsks)
{
    // Opened by Enter, where Rename is on.
    main->cmdCambia_Click();
    select(QStringLiteral("beta"));
    key(main->lstArgomenti, Qt::Key_Return);
    select(QStringLiteral("Agenda"));
    const auto button = [this](const char *name) {
        for (QAction *b : main->ToolbarButtons)
            if (b && b->data().toString() == QLatin1String(name))
                main->Toolbar1_ButtonClick(b);
    };
    // Find in topics asks what to find, Rename the new name, Delete whether.
    const std::pair<const char *, std::function<void()>> asking[] = {
        {"InputBox F3", [&] { key(main->lstArgomenti, Qt::Key_F3); }},
        {"InputBox TrovaTutti", [&] { button("TrovaTutti"); }},
        {"InputBox Rinomina", [&] { button("Rinomina"); }},
        {"MsgBox Cancella", [&] { button("Cancella"); }},
    };
    for (const auto &[what, press] : asking) {
        const bool input = QByteArray(what).startsWith("InputBox");
        if (input)
            services.dialogs.expectInputBox(std::nullopt);
        else
            services.dialogs.expectMsgBox(platform::vbNo);
        press();
        ASSERT_FALSE(services.dialogs.shown().isEmpty()) << what;
        EXPECT_EQ(services.dialogs.shown().constLast().kind, input ? u"InputBox"_qs : u"MsgBox"_qs) << what;
    }
    // Move and Move all ask where to.
    const std::pair<const char *, std::function<void()>> moving[] = {
        {"F6", [&] { key(main->lstArgomenti, Qt::Key_F6); }},
        {"F9", [&] { key(main->lstArgomenti, Qt::Key_F9); }},
        {"Sposta", [&] { button("Sposta"); }},
        {"SpostaTutti", [&] { button("SpostaTutti"); }},
    };
    for (const auto &[what, press] : moving) {
        auto chooser = whenShown<frmCategorie>([](frmCategorie *d) { d->reject(); });
        press();
        EXPECT_TRUE(chooser->ran()) << what;
    }
}
