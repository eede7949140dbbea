#pragma once

#include "platform/form.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sEdit.h"
#include "skin/controls/sLabel.h"
#include "skin/core/sSkinManager.h"

// The sign-in window: students and teachers sign in, newcomers register as students.
class TForm1 : public TForm {
    Q_OBJECT

public:
    TForm1();

    TsSkinManager* sSkinManager1;

    TsLabel* sLabel1;
    TsEdit* sEdit1;
    TsLabel* sLabel2;
    TsEdit* sEdit2;
    TsButton* sButton3;
    TsButton* sButton1;
    TsButton* sButton4;
    TsLabel* sLabel6;
    TsLabel* sLabel4;
    TsEdit* sEdit3;
    TsLabel* sLabel5;
    TsEdit* sEdit4;
    TsButton* sButton2;

    void sButton1Click();  // "Вход": sign in
    void sButton3Click();  // "Регистрация": uncover the registration boxes
    void sButton2Click();  // "Вход": register
    void sButton4Click();  // "Выход"

    // Tells the teacher which logins several accounts share, when the file has such.
    void reportRepeatedLogins();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createSkinManager();
    bool findAccount(const QString& login, const QString& password);
    void openStudentWindow(const QString& login);
    void emptyBoxes();
};

extern TForm1* Form1;
