unit ModernDelphi;

interface

type
  TBase = class
  strict private
    FValue: Integer;
  strict protected
    procedure Changed; virtual;
  private
    class var FCount: Integer;
  public
    const Limit = 10;
    type
      TInner = class
      public
        procedure Run;
      end;
      TKind = (kOne, kTwo);
  public
    {$ifndef FPC}[Weak]{$endif} FOwner: TObject;
    class property Count: Integer read FCount;
    property Value: Integer read FValue write FValue;
  end;

  TBox<T> = class(TObject)
  private
    FItem: T;
  public
    function Get: T;
    procedure SetValue(const AValue: T);
    property Item: T read FItem;
  end;

  TPoint = record
  private
    FX, FY: Integer;
  public
    class operator Add(const A, B: TPoint): TPoint;
    function Len: Integer;
    property X: Integer read FX;
  end;

  TSealed = class sealed(TBase)
  end;

  TAbstract = class abstract
    procedure Go; virtual; abstract;
  end;

  TIntHelper = record helper for Integer
    function Twice: Integer;
  end;

  TBaseHelper = class helper for TBase
    function Doubled: Integer;
  end;

  TPlain = packed record
    A: Byte;
    B: Word;
  end;

  TObj = object
  private
    FA: Integer;
  public
    procedure Init;
  end;

  TShort = class
    function Get(A: Integer): Integer;
    procedure Put(A: Integer; const S: string); stdcall;
  end;

implementation

procedure TBase.Changed;
begin
end;

procedure TBase.TInner.Run;
begin
end;

function TBox<T>.Get: T;
begin
  Result := FItem;
end;

procedure TBox<T>.SetValue(const AValue: T);
begin
  FItem := AValue;
end;

class operator TPoint.Add(const A, B: TPoint): TPoint;
begin
  Result.FX := A.FX + B.FX;
  Result.FY := A.FY + B.FY;
end;

function TPoint.Len: Integer;
begin
  Result := FX + FY;
end;

function TIntHelper.Twice: Integer;
begin
  Result := Self * 2;
end;

function TBaseHelper.Doubled: Integer;
begin
  Result := Value * 2;
end;

procedure TObj.Init;
begin
  FA := 0;
end;

function TShort.Get;
begin
  Result := A;
end;

procedure TShort.Put;
begin
end;

end.
