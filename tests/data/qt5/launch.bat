set A=1
echo %A% ^& é

set PYTHONPATH=/opt/a:/opt/b
"/usr/bin/python3" -i -c print('\\n')