#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "io/IoResult.h"
#include "model/ModelStore.h"
#include "platform/Prompts.h"
#include "view/ViewState.h"

class QButtonGroup;
class QCloseEvent;
class QImage;
class QToolButton;
class TElement;
class TPomoc;
class TWezel;

namespace Ui {
class TGL;
}
namespace qor {
class Canvas;
class QtPrompts;
}  // namespace qor

// The main window: menu, tool bar, view scroll bars and the drawing surface.
// It owns the model store and the view state; every command is one of its
// handlers. The handlers are grouped by subsystem in the Gl3d*.cpp files.
class TGL : public QMainWindow {
  Q_OBJECT
 public:
  explicit TGL(QWidget* parent = nullptr);
  ~TGL() override;

  // The form's components, public as on a designed form.
  Ui::TGL* ui;
  QButtonGroup* ViewButtons;  // Bzprzodu, Bzlewa, Bzgory, BIzometria

  qor::ModelStore Model;
  qor::ViewState View;

  // Settings of the file dialogs of the form.
  qor::FileDialogSettings ImportGiD;
  qor::FileDialogSettings ImportGmsh;
  qor::FileDialogSettings ZapiszD;
  // Settings of the save dialogs of the exports and the picture.
  qor::FileDialogSettings EksportVtkD;
  qor::FileDialogSettings EksportCsvD;
  qor::FileDialogSettings ObrazD;

  // The node, element and help windows of "&Dodaj" and "&Pomoc", owned by the window.
  TWezel* Wezel;
  TElement* Elem;
  TPomoc* Pomoc;

  // Whether work may be thrown away: true at once when the model is as it was
  // last opened, saved or emptied; otherwise the user is asked whether to save
  // it, and Yes saves as "&Zapisz" does. False when the user cancels or the
  // save did not succeed: the command that asked then stops.
  bool MayDiscardModel();
  // "&Zapisz": asks for the file and writes the model; true when it was written.
  bool SaveModel();

  // Where messages and questions go; tests put a scripted double here.
  qor::Prompts& prompts() { return *prompts_; }
  void SetPrompts(qor::Prompts* prompts);

  // Asks for the client area to be painted again.
  void Repaint();
  // Draws the whole picture on `canvas` (the client area or an image).
  void FormPaint(qor::Canvas& canvas);
  // Draws the whole picture into an image of the client area's size, in the
  // window's font, as the window shows it.
  void DrawPicture(QImage& picture);
  // Height of the tool bar CB as it stands.
  int ToolBarHeight() const;
  // The user's regional decimal separator.
  static char DecimalSeparator();

 public slots:
  // File.
  void Nowy1Click();
  void Otwrz1Click();
  void Zapisz1Click();
  void Zamknij1Click();
  void Import1Click();
  void ImportGmsh1Click();
  void EksportVtk1Click();
  void EksportCsv1Click();
  void ZapiszObraz1Click();
  void Koniec1Click();
  // Add.
  void Wzel1Click();
  void Element2Click();
  void d_matClick();
  void d_sileClick();
  void d_podpClick();
  void d_prostopClick();
  void d_szescClick();
  void d_prostdClick();
  // Delete.
  void Wze1Click();
  void Element1Click();
  void Si1Click();
  void Podpor1Click();
  void Podwjnewzy1Click();
  void Wolnewzy1Click();
  // Computation.
  void Oblicz2Click();
  void Statystyka1Click();
  void Daneobliczneniowe1Click();
  void Wynikioblicze1Click();
  void Gsto1Click();
  // View.
  void Powiksz1Click();
  void Pomniejsz1Click();
  void Zadeklarukskale1Click();
  void Hide1Click();
  void UKRBClick();
  void ADOKClick();
  void NHClick();
  void NXClick();
  void NYClick();
  void NZClick();
  void NXYClick();
  void NYZClick();
  void NXZClick();
  void PrzemClick();
  void Nr_ELEClick();
  void Nr_wezClick();
  void Zprzodu1Click();
  void BzgoryClick();
  void BzlewaClick();
  void BIzometriaClick();
  void BlewoClick();
  void BprawoClick();
  void BgoraClick();
  void BdolClick();
  void ScrollBar1Change();
  void ScrollBar2Change();
  void ScrollBar3Change();
  void Numerymateriaw1Click();
  // Pointer events of the drawing surface: Shift or a left-button drag turns
  // the view, a middle-button drag pans, the wheel zooms about the pointer
  // and a middle-button double click fits the whole model again.
  void FormMouseDown(int x, int y, bool left, bool middle);
  void FormMouseMove(int x, int y, bool shift, bool left = false, bool middle = false);
  void FormMouseWheel(int x, int y, int delta);
  void FitAll();
  void FormKeyDown();
  // Help.
  void Pomoc2Click();
  void Oprogramie1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  // Closing the window asks first when the model holds unsaved work.
  void closeEvent(QCloseEvent* event) override;

 private:
  // The two mesh imports: the question before work is lost, the file dialog,
  // `read` into the store (which leaves it as it was on any refusal), the view
  // reset to the new mesh.
  void ImportMesh(const qor::FileDialogSettings& dialog, const std::function<qor::IoResult(const std::string&)>& read);
  void FormCreate();
  void ConnectCommands();
  void DrawToolButtonGlyphs();

  // The model as it was last opened, saved or emptied; what MayDiscardModel
  // compares with.
  void MarkModelUnchanged();
  // The view as the client area shows it, in its pixels.
  QImage ViewPicture();

  std::unique_ptr<qor::QtPrompts> qtPrompts_;
  qor::Prompts* prompts_;
  std::unique_ptr<qor::ModelStore> unchangedModel_;
  // Set once the user agreed to leave: the close that follows does not ask again.
  bool leaving_ = false;
};
