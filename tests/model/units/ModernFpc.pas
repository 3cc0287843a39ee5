unit ModernFpc;

{$mode objfpc}{$H+}
{$modeswitch advancedrecords}
{$modeswitch typehelpers}

interface

type
  generic TList<T> = class
  private
    FItems: array of T;
  public
    function Count: Integer;
    function First: T; inline;
  end;

  TIntList = specialize TList<Integer>;

  TStrList = class(specialize TList<string>)
  public
    procedure Clear; deprecated 'use Reset';
  end;

  TVec = record
    X, Y: Double;
    function Sum: Double;
  end;

  TWordHelper = type helper for Word
    function IsZero: Boolean;
  end;

  TCallback = procedure(A: Integer) of object;

operator + (const A, B: TVec) R: TVec;
generic function Largest<T>(const A, B: T): T;
function Twice(A: Integer): Integer; inline;
procedure Log(const S: string); stdcall; export;
function Old: Integer; deprecated;
procedure &Begin;

implementation

function TList.Count: Integer;
begin
  Result := Length(FItems);
end;

function TList.First: T;
begin
  Result := FItems[0];
end;

procedure TStrList.Clear;
begin
end;

function TVec.Sum: Double;
begin
  Result := X + Y;
end;

function TWordHelper.IsZero: Boolean;
begin
  Result := Self = 0;
end;

operator + (const A, B: TVec) R: TVec;
begin
  R.X := A.X + B.X;
  R.Y := A.Y + B.Y;
end;

generic function Largest<T>(const A, B: T): T;
begin
  if A > B then
    Result := A
  else
    Result := B;
end;

function Twice(A: Integer): Integer;
begin
  Result := A * 2;
end;

procedure Log(const S: string); stdcall;
begin
end;

function Old: Integer;
begin
  Result := 0;
end;

procedure &Begin;
begin
end;

end.
