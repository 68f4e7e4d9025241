; strcopy.asm - copies a text that ends in a zero byte and counts its characters.
;
; Shows the string instructions: LODSB reads the byte at DS:SI, STOSB writes AL to ES:DI,
; and CLD makes both step forwards. Assemble: nasm -f bin -o strcopy.bin strcopy.asm
;
; Data, as offsets from the first byte of the program:
;   02h  the length, a word: 0010h (16) after the run
;   04h  the text "Hello, VXT-8088!" and its zero byte
;   15h  32 bytes of room: the copy, with its zero byte, after the run
;
; The program uses only relative jumps and finds its own address at run time, so it runs
; wherever the board's monitor loads it. It ends in a loop: stop it with the board's
; RESET or break key and look at offset 15h with the monitor.

        cpu     8086
        bits    16
        org     0

        jmp     short start
length: dw      0
text:   db      "Hello, VXT-8088!", 0
copy:   times 32 db 0

start:  call    here                ; pushes the run-time address of `here`
here:   pop     bx
        sub     bx, here            ; bx = where the program starts
        push    cs                  ; source and copy both lie in the program's segment
        pop     ds
        push    cs
        pop     es

        lea     si, [bx+text]
        lea     di, [bx+copy]
        xor     cx, cx              ; characters copied so far
        cld
next:   lodsb                       ; al = [ds:si], si + 1
        stosb                       ; [es:di] = al, di + 1
        or      al, al              ; the zero byte ends the text (and is copied too)
        jz      done
        inc     cx
        jmp     next
done:   mov     [bx+length], cx

stop:   jmp     stop
