; A stand-in for the first target DOS program: a .COM image (named kestro.exe) that says it
; ran and returns to DOS, which is all the sandbox needs of it.
        org 0x100
        mov dx, banner
        mov ah, 0x09            ; print the $-terminated string
        int 0x21
        mov ax, 0x4C00          ; exit with code 0
        int 0x21
banner  db 'Tessera stand-in: started by Quillbridge', 13, 10, '$'
