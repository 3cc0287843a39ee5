//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// Notification Event: an event of type TNotifyEvent (unit Classes) with the protected
// method that fires it.
// DEFINEMACRO:Event=the event's name without "On", as Change

interface

type
  TCodeTemplate = class(TObject)
  private
    FOn<!Event!>: TNotifyEvent;
  protected
    procedure Do<!Event!>; virtual;
  public
    property On<!Event!>: TNotifyEvent read FOn<!Event!> write FOn<!Event!>;
  end;


implementation

procedure TCodeTemplate.Do<!Event!>;
begin
  if Assigned(FOn<!Event!>) then
    FOn<!Event!>(Self);
end;


end.
