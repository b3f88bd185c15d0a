REM 選択した範囲を画像で塗りつぶし、図に貼り付けます（Veldra）
@echo off
REM #jww
REM #cd
REM #hf
REM #hc 塗りつぶす図形を範囲選択してください
REM #h1
REM #gn
REM #e
start "" /wait "%~dp0veldra.exe"
