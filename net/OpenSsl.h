#pragma once
// Include this instead of OpenSSL's headers: calls to OpenSSL, also those
// its macros expand to, then go through the pointers LoadOpenSsl() binds.
// Anything that runs before a TSslContext exists must call LoadOpenSsl()
// itself.

#include "net/OpenSslLibrary.h"

// clang-format off
#define ASN1_TIME_print ossl::ASN1_TIME_print
#define BIO_clear_flags ossl::BIO_clear_flags
#define BIO_ctrl ossl::BIO_ctrl
#define BIO_ctrl_pending ossl::BIO_ctrl_pending
#define BIO_free ossl::BIO_free
#define BIO_get_data ossl::BIO_get_data
#define BIO_get_new_index ossl::BIO_get_new_index
#define BIO_meth_new ossl::BIO_meth_new
#define BIO_meth_set_create ossl::BIO_meth_set_create
#define BIO_meth_set_ctrl ossl::BIO_meth_set_ctrl
#define BIO_meth_set_read ossl::BIO_meth_set_read
#define BIO_new ossl::BIO_new
#define BIO_s_mem ossl::BIO_s_mem
#define BIO_set_data ossl::BIO_set_data
#define BIO_set_flags ossl::BIO_set_flags
#define BIO_set_init ossl::BIO_set_init
#define CRYPTO_free ossl::CRYPTO_free
#define ERR_clear_error ossl::ERR_clear_error
#define ERR_error_string_n ossl::ERR_error_string_n
#define ERR_get_error ossl::ERR_get_error
#define ERR_reason_error_string ossl::ERR_reason_error_string
#define EVP_Digest ossl::EVP_Digest
#define EVP_EncodeBlock ossl::EVP_EncodeBlock
#define EVP_sha256 ossl::EVP_sha256
#define SSL_CIPHER_get_name ossl::SSL_CIPHER_get_name
#define SSL_CTX_ctrl ossl::SSL_CTX_ctrl
#define SSL_CTX_free ossl::SSL_CTX_free
#define SSL_CTX_load_verify_locations ossl::SSL_CTX_load_verify_locations
#define SSL_CTX_new ossl::SSL_CTX_new
#define SSL_CTX_sess_set_new_cb ossl::SSL_CTX_sess_set_new_cb
#define SSL_CTX_set_default_read_buffer_len ossl::SSL_CTX_set_default_read_buffer_len
#define SSL_CTX_set_default_verify_dir ossl::SSL_CTX_set_default_verify_dir
#define SSL_CTX_set_default_verify_paths ossl::SSL_CTX_set_default_verify_paths
#define SSL_SESSION_free ossl::SSL_SESSION_free
#define SSL_ctrl ossl::SSL_ctrl
#define SSL_do_handshake ossl::SSL_do_handshake
#define SSL_free ossl::SSL_free
#define SSL_get0_param ossl::SSL_get0_param
#define SSL_get1_peer_certificate ossl::SSL_get1_peer_certificate
#define SSL_get_current_cipher ossl::SSL_get_current_cipher
#define SSL_get_error ossl::SSL_get_error
#define SSL_get_ex_data ossl::SSL_get_ex_data
#define SSL_get_shutdown ossl::SSL_get_shutdown
#define SSL_get_verify_result ossl::SSL_get_verify_result
#define SSL_get_version ossl::SSL_get_version
#define SSL_has_pending ossl::SSL_has_pending
#define SSL_new ossl::SSL_new
#define SSL_pending ossl::SSL_pending
#define SSL_read ossl::SSL_read
#define SSL_session_reused ossl::SSL_session_reused
#define SSL_set1_host ossl::SSL_set1_host
#define SSL_set_bio ossl::SSL_set_bio
#define SSL_set_connect_state ossl::SSL_set_connect_state
#define SSL_set_ex_data ossl::SSL_set_ex_data
#define SSL_set_read_ahead ossl::SSL_set_read_ahead
#define SSL_set_session ossl::SSL_set_session
#define SSL_set_verify ossl::SSL_set_verify
#define SSL_shutdown ossl::SSL_shutdown
#define SSL_write ossl::SSL_write
#define TLS_client_method ossl::TLS_client_method
#define X509_get_default_cert_dir ossl::X509_get_default_cert_dir
#define X509_get_default_cert_dir_env ossl::X509_get_default_cert_dir_env
#define X509_get_default_cert_file_env ossl::X509_get_default_cert_file_env
#define X509_NAME_print_ex ossl::X509_NAME_print_ex
#define X509_VERIFY_PARAM_set1_ip_asc ossl::X509_VERIFY_PARAM_set1_ip_asc
#define X509_digest ossl::X509_digest
#define X509_free ossl::X509_free
#define X509_get0_notAfter ossl::X509_get0_notAfter
#define X509_get0_notBefore ossl::X509_get0_notBefore
#define X509_get0_pubkey ossl::X509_get0_pubkey
#define X509_get_issuer_name ossl::X509_get_issuer_name
#define X509_get_subject_name ossl::X509_get_subject_name
#define X509_verify_cert_error_string ossl::X509_verify_cert_error_string
#define i2d_PUBKEY ossl::i2d_PUBKEY
// clang-format on
