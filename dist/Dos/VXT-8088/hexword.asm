; hexword.asm - writes a 16-bit number as four hexadecimal digits in ASCII.
;
; Shows shifts, masks and XLAT, which looks a byte up in a table: AL = [DS:BX+AL].
; Assemble: nasm -f bin -o hexword.bin hexword.asm
;
; Data, as offsets from the first byte of the program:
;   02h  the number, a word: 4D2h (1234)
;   04h  four bytes of room: the ASCII text "04D2" after the run
;   08h  the table of the sixteen digits "0123456789ABCDEF"
;
; The program uses only relative jumps and finds its own address at run time, so it runs
; wherever the board's monitor loads it. It ends in a loop: stop it with the board's
; RESET or break key and look at offset 04h with the monitor.

        cpu     8086
        bits    16
        org     0

        jmp     short start
number: dw      4D2h
digits: times 4 db 0
table:  db      "0123456789ABCDEF"

start:  call    here                ; pushes the run-time address of `here`
here:   pop     bp
        sub     bp, here            ; bp = where the program starts
        push    cs                  ; the data lie in the program's own segment
        pop     ds

        mov     dx, [ds:bp+number]  ; the number; a BP address needs DS: written out
        lea     di, [bp+digits]
        lea     bx, [bp+table]      ; XLAT's table
        mov     cx, 4               ; four digits, the highest first
next:   push    cx
        mov     cl, 4
        rol     dx, cl              ; bring the next four bits to the bottom
        pop     cx
        mov     al, dl
        and     al, 0Fh
        xlat                        ; al = the digit's character
        mov     [di], al
        inc     di
        loop    next

stop:   jmp     stop
