//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// Singleton: one shared instance of the class, made on first use. The instance lives in a
// typed constant of the class function, which must be writeable ({$J+}, the default of
// Delphi 5 and of Free Pascal).
// DEFINEMACRO:ClassName=the class that gets the shared instance
// DEFINEMACRO:Instance=the class function that returns the instance

interface

type
  TCodeTemplate = class(TObject)
  public
    class function <!Instance!>: <!ClassName!>;
  end;


implementation

class function TCodeTemplate.<!Instance!>: <!ClassName!>;
const
  FInstance: TObject = nil;
begin
  if FInstance = nil then
    FInstance := Create;
  Result := <!ClassName!>(FInstance);
end;


end.
