//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// Array Property: a list of values kept in a dynamic array, with an indexed property, its
// count and the methods that add and delete.
// DEFINEMACRO:Item=the name of one element, as Line
// DEFINEMACRO:Items=the name of the indexed property, as Lines
// DEFINEMACRO:ItemType=the type of the elements, as TOrderLine

interface

type
  TCodeTemplate = class(TObject)
  private
    F<!Items!>: array of <!ItemType!>;
    function Get<!Item!>(Index: Integer): <!ItemType!>;
    function Get<!Item!>Count: Integer;
    procedure Set<!Item!>(Index: Integer; const Value: <!ItemType!>);
  public
    function Add<!Item!>(const Value: <!ItemType!>): Integer;
    procedure Delete<!Item!>(Index: Integer);
    property <!Item!>Count: Integer read Get<!Item!>Count;
    property <!Items!>[Index: Integer]: <!ItemType!> read Get<!Item!> write Set<!Item!>;
  end;


implementation

function TCodeTemplate.Add<!Item!>(const Value: <!ItemType!>): Integer;
begin
  Result := Length(F<!Items!>);
  SetLength(F<!Items!>, Result + 1);
  F<!Items!>[Result] := Value;
end;

procedure TCodeTemplate.Delete<!Item!>(Index: Integer);
var
  I: Integer;
begin
  for I := Index to High(F<!Items!>) - 1 do
    F<!Items!>[I] := F<!Items!>[I + 1];
  SetLength(F<!Items!>, High(F<!Items!>));
end;

function TCodeTemplate.Get<!Item!>(Index: Integer): <!ItemType!>;
begin
  Result := F<!Items!>[Index];
end;

function TCodeTemplate.Get<!Item!>Count: Integer;
begin
  Result := Length(F<!Items!>);
end;

procedure TCodeTemplate.Set<!Item!>(Index: Integer; const Value: <!ItemType!>);
begin
  F<!Items!>[Index] := Value;
end;


end.
