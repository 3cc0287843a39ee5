unit Orders;

{ A small order book: the sample unit that Kolva's command line outlines. }

interface

uses
  Classes, SysUtils;

type
  TOrderState = (osNew, osPaid, osShipped);

  IOrderSink = interface(IUnknown)
    ['{6A1F3C52-8E0B-4C1D-9A77-2B5E4F1D0C93}']
    procedure OrderChanged(const OrderNo: Integer; State: TOrderState);
    function SinkName: string;
  end;

  TOrderLine = class
  private
    FArticle: string;
    FQuantity, FPrice: Integer;
  public
    constructor Create(const AArticle: string; AQuantity, APrice: Integer);
    function Total: Integer;
    property Article: string read FArticle;
    property Quantity: Integer read FQuantity write FQuantity default 1;
  end;

  TOrderError = class(Exception);

  TOrder = class(TInterfacedObject, IOrderSink)
  private
    FLines: TList;
    FNo: Integer;
    FState: TOrderState;
    FOnChange: TNotifyEvent;
    function GetLine(Index: Integer): TOrderLine;
    function GetCount: Integer;
    procedure SetState(const Value: TOrderState);
  protected
    procedure Changed; virtual;
    procedure OrderChanged(const OrderNo: Integer; State: TOrderState);
    function SinkName: string;
  public
    constructor Create(ANo: Integer);
    destructor Destroy; override;
    procedure Add(const Article: string); overload;
    procedure Add(const Article: string; Quantity, Price: Integer); overload;
    procedure Add(Line: TOrderLine); overload;
    function Total: Integer;
    class function NextNumber: Integer;
    property Lines[Index: Integer]: TOrderLine read GetLine; default;
    property Count: Integer read GetCount;
    property No: Integer index 0 read FNo stored False;
    property State: TOrderState read FState write SetState default osNew;
    property OnChange: TNotifyEvent read FOnChange write FOnChange;
  end;

  TMainForm = class(TComponent)
    OrderList: TComponent;
    AddButton: TComponent;
    procedure AddButtonClick(Sender: TObject);
    procedure FormCreate(Sender: TObject);
  private
    FOrder: TOrder;
  public
    property Order: TOrder read FOrder;
  end;

function FormatAmount(Cents: Integer): string; overload;
function FormatAmount(Cents: Integer; const Currency: string): string; overload;
procedure ResetNumbers;

var
  MainForm: TMainForm;

implementation

var
  LastNumber: Integer = 0;

function FormatAmount(Cents: Integer): string;
begin
  Result := FormatAmount(Cents, 'EUR');
end;

function FormatAmount(Cents: Integer; const Currency: string): string;

  function TwoDigits(Value: Integer): string;
  begin
    Result := IntToStr(Value div 10) + IntToStr(Value mod 10);
  end;

begin
  Result := IntToStr(Cents div 100) + '.' + TwoDigits(Cents mod 100) + ' ' + Currency;
end;

procedure ResetNumbers;
begin
  LastNumber := 0;
end;

{ TOrderLine }

constructor TOrderLine.Create(const AArticle: string; AQuantity, APrice: Integer);
begin
  inherited Create;
  FArticle := AArticle;
  FQuantity := AQuantity;
  FPrice := APrice;
end;

function TOrderLine.Total: Integer;
begin
  Result := FQuantity * FPrice;
end;

{ TOrder }

constructor TOrder.Create(ANo: Integer);
begin
  inherited Create;
  FNo := ANo;
  FLines := TList.Create;
end;

destructor TOrder.Destroy;
var
  I: Integer;
begin
  for I := 0 to FLines.Count - 1 do
    TObject(FLines[I]).Free;
  FLines.Free;
  inherited Destroy;
end;

procedure TOrder.Add(const Article: string);
begin
  Add(Article, 1, 0);
end;

procedure TOrder.Add(Line: TOrderLine);
begin
  FLines.Add(Line);
  Changed;
end;

procedure TOrder.Add(const Article: string; Quantity, Price: Integer);
begin
  Add(TOrderLine.Create(Article, Quantity, Price));
end;

function TOrder.Total: Integer;

  function LineTotal(Index: Integer): Integer;
  begin
    Result := GetLine(Index).Total;
  end;

var
  I: Integer;
begin
  Result := 0;
  for I := 0 to Count - 1 do
    Inc(Result, LineTotal(I));
end;

class function TOrder.NextNumber: Integer;
begin
  Inc(LastNumber);
  Result := LastNumber;
end;

function TOrder.GetLine(Index: Integer): TOrderLine;
begin
  Result := TOrderLine(FLines[Index]);
end;

function TOrder.GetCount: Integer;
begin
  Result := FLines.Count;
end;

procedure TOrder.SetState(const Value: TOrderState);
begin
  if FState <> Value then
  begin
    FState := Value;
    Changed;
  end;
end;

procedure TOrder.Changed;
begin
  if Assigned(FOnChange) then
    FOnChange(Self);
end;

procedure TOrder.OrderChanged(const OrderNo: Integer; State: TOrderState);
begin
  if OrderNo = FNo then
    SetState(State);
end;

function TOrder.SinkName: string;
begin
  Result := 'Order ' + IntToStr(FNo);
end;

{ TMainForm }

procedure TMainForm.AddButtonClick(Sender: TObject);
begin
  FOrder.Add('Article ' + IntToStr(FOrder.Count + 1));
end;

procedure TMainForm.FormCreate(Sender: TObject);
begin
  FOrder := TOrder.Create(TOrder.NextNumber);
end;

end.
