//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// Reference Count: an object shared by several owners, each of which takes a reference and
// releases it; the last release frees the object.
// DEFINEMACRO:RefCount=the property that shows the count, as RefCount

interface

type
  TCodeTemplate = class(TObject)
  private
    F<!RefCount!>: Integer;
  public
    function AddRef: Integer;
    function Release: Integer;
    property <!RefCount!>: Integer read F<!RefCount!>;
  end;


implementation

function TCodeTemplate.AddRef: Integer;
begin
  Inc(F<!RefCount!>);
  Result := F<!RefCount!>;
end;

function TCodeTemplate.Release: Integer;
begin
  Dec(F<!RefCount!>);
  Result := F<!RefCount!>;
  if Result = 0 then
    Free;
end;


end.
