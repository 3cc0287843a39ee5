unit CondUnit;

{$mode delphi}
{$define A}

interface

type
{$ifdef A}
  TFoo = class(TObject)
{$else}
  TFoo = class(TInterfacedObject)
{$endif}
    procedure X;
  end;

{$ifdef A}
  TBar = class
    procedure P;
  end;
{$else}
  TBar = class
    procedure P;
    procedure Q;
  end;
{$endif}

procedure Work(A: Integer);

implementation

procedure TFoo.X;
begin
end;

procedure TBar.P;
begin
end;

{$ifndef A}
procedure TBar.Q;
begin
end;
{$endif}

{$ifdef A}
procedure Work(A: Integer);
{$else}
procedure Work(A: LongInt);
{$endif}
begin
{$ifdef A}
  if A > 0 then begin
{$else}
  if A > 1 then begin
{$endif}
    A := 0;
  end;
end;

procedure After;
begin
end;

end.
