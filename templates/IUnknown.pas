//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// IUnknown Implementation: the three methods of IUnknown for a class that names the
// interface itself, as TInterfacedObject has them (InterlockedIncrement and
// InterlockedDecrement come from unit Windows).
// DEFINEMACRO:RefCount=the property that shows the count, as RefCount

interface

type
  TCodeTemplate = class(TObject)
  private
    F<!RefCount!>: Integer;
  protected
    function QueryInterface(const IID: TGUID; out Obj): HResult; stdcall;
    function _AddRef: Integer; stdcall;
    function _Release: Integer; stdcall;
  public
    property <!RefCount!>: Integer read F<!RefCount!>;
  end;


implementation

function TCodeTemplate.QueryInterface(const IID: TGUID; out Obj): HResult;
begin
  if GetInterface(IID, Obj) then
    Result := 0
  else
    Result := E_NOINTERFACE;
end;

function TCodeTemplate._AddRef: Integer;
begin
  Result := InterlockedIncrement(F<!RefCount!>);
end;

function TCodeTemplate._Release: Integer;
begin
  Result := InterlockedDecrement(F<!RefCount!>);
  if Result = 0 then
    Destroy;
end;


end.
