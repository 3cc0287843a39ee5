#include "support/FormSample.h"

namespace kolva::test {

const char* const MainFormDfm = R"(object MainForm: TMainForm
  Left = 192
  Width = 544
  Caption = 'Orders'
  Font.Name = 'MS Sans Serif'
  Font.Style = [fsBold, fsItalic]
  ActiveControl = NameEdit
  OnCreate = FormCreate
  PixelsPerInch = 96
  object TopPanel: TPanel
    Align = alTop
    object NameLabel: TLabel
      Caption = 'Customer:'#13#10'(as invoiced)'
      FocusControl = NameEdit
    end
    object NameEdit: TEdit
      Hint = 'Printed on every invoice and ' +
        'on every reminder'
      OnChange = NameEditChange
      OnExit = NameEditChange
    end
  end
  object OrderList: TListView
    Columns = <
      item
        Caption = 'Number'
        Width = -1
      end
      item
        Caption = 'Total'
        Alignment = taRightJustify
      end>
    Items.Strings = (
      'First'
      'Second')
  end
  object OkButton: TButton
    Caption = '&OK'
    Default = True
    OnClick = OkButtonClick
  end
  object CancelButton: TButton
    Anchors = [akRight, akBottom]
    ModalResult = 2
  end
  object Images: TImageList
    Bitmap = {
      494C010102000400040010001000FFFFFFFFFF10FFFFFFFFFFFFFFFF424D3600
      0000000000003600000028000000400000001000000001002000000000000010}
  end
end
)";

const char* const MainUnitPas = R"(unit MainUnit;

interface

uses
  Classes;

type
  TPanel = class(TComponent);
  TLabel = class(TComponent);
  TEdit = class(TComponent);
  TListView = class(TComponent);
  TButton = class(TComponent);
  TImageList = class(TComponent);

  TMainForm = class(TComponent)
    TopPanel: TPanel;
    NameLabel: TLabel;
    NameEdit: TEdit;
    OrderList: TListView;
    OkButton, CancelButton: TButton;
    Images: TImageList;
    procedure FormCreate(Sender: TObject);
    procedure NameEditChange(Sender: TObject);
    procedure OkButtonClick(Sender: TObject);
  private
    FChanged: Boolean;
  public
    procedure Reset;
  end;

var
  MainForm: TMainForm;

implementation

procedure TMainForm.FormCreate(Sender: TObject);
begin
  Reset;
end;

procedure TMainForm.NameEditChange(Sender: TObject);
begin
  FChanged := True;
end;

procedure TMainForm.OkButtonClick(Sender: TObject);
begin
  if FChanged then
    Reset;
end;

procedure TMainForm.Reset;
begin
  FChanged := False;
end;

end.
)";

} // namespace kolva::test
