//FWWIN:MEMBERSCOPY
unit _FW_Copy_Buffer_;

// Update Bracket: BeginUpdate and EndUpdate around a batch of changes, so that the change
// event (TNotifyEvent, unit Classes) fires once, when the outermost bracket closes.
// DEFINEMACRO:Event=the change event's name without "On", as Change

interface

type
  TCodeTemplate = class(TObject)
  private
    F<!Event!>Pending: Boolean;
    FOn<!Event!>: TNotifyEvent;
    FUpdateCount: Integer;
  protected
    procedure Do<!Event!>; virtual;
  public
    procedure BeginUpdate;
    procedure EndUpdate;
    property On<!Event!>: TNotifyEvent read FOn<!Event!> write FOn<!Event!>;
  end;


implementation

procedure TCodeTemplate.BeginUpdate;
begin
  Inc(FUpdateCount);
end;

procedure TCodeTemplate.Do<!Event!>;
begin
  if FUpdateCount > 0 then
    F<!Event!>Pending := True
  else if Assigned(FOn<!Event!>) then
    FOn<!Event!>(Self);
end;

procedure TCodeTemplate.EndUpdate;
begin
  Dec(FUpdateCount);
  if (FUpdateCount = 0) and F<!Event!>Pending then
  begin
    F<!Event!>Pending := False;
    Do<!Event!>;
  end;
end;


end.
