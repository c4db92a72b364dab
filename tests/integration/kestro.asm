; Stand-in for the DOS program: writes its command tail to ARGS.TXT and exits.
        org 0x100
        mov ah, 0x3C            ; create file
        xor cx, cx
        mov dx, name
        int 0x21
        jc fail
        mov bx, ax
        mov ah, 0x40            ; write the tail (length at 80h, text from 81h)
        xor ch, ch
        mov cl, [0x80]
        mov dx, 0x81
        int 0x21
        mov ah, 0x3E            ; close
        int 0x21
        mov ax, 0x4C00
        int 0x21
fail:   mov ax, 0x4C01
        int 0x21
name:   db "ARGS.TXT", 0
