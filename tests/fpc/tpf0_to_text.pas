program tpf0_to_text;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  Input: TFileStream;
  Output: TFileStream;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: tpf0_to_text <binary stream> <text file>');
    Halt(2);
  end;
  try
    Input := TFileStream.Create(ParamStr(1), fmOpenRead or fmShareDenyWrite);
    try
      Output := TFileStream.Create(ParamStr(2), fmCreate);
      try
        ObjectBinaryToText(Input, Output);
        if Input.Position <> Input.Size then
          raise EReadError.Create('Bytes after the root object');
      finally
        Output.Free;
      end;
    finally
      Input.Free;
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.
